// The drive map of Windows: the host's own letters, each mapped onto itself, and the drives
// whose media change asked for their medium at every access.
#include "runtime/DriveMap.h"
#include "runtime/win32/Win32Drives.h"
#include "runtime/win32/Win32LongPath.h"
#include "support/Outcomes.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using testing_support::errorOf;

// A letter Windows does not know right now, or 0 when all are taken.
char unusedLetter() {
    const DWORD present = ::GetLogicalDrives();
    for (int index = 25; index >= 3; --index) {
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + index), L':', L'\\', L'\0'};
        if ((present & (1u << index)) == 0 && ::GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) {
            return static_cast<char>('A' + index);
        }
    }
    return 0;
}

TEST(Win32DrivesTest, TheMapHoldsTheHostsLettersAndIsTheIdentity) {
    const rt::DriveMap map = rt::DriveMap::hostDefault();
    const DWORD present = ::GetLogicalDrives();
    std::vector<char> expected;
    for (int index = 0; index < 26; ++index) {
        if ((present & (1u << index)) != 0) {
            expected.push_back(static_cast<char>('a' + index));
        }
    }
    EXPECT_EQ(map.letters(), expected);
    ASSERT_TRUE(map.root('c').has_value()) << "Windows without C:";

    const std::pair<const char*, const char*> toNative[] = {
        {"C:\\Daten\\Bericht.doc", "C:\\Daten\\Bericht.doc"},
        {"c:\\Daten\\", "C:\\Daten\\"},
        {"C:", "C:\\"},
        {"C:\\", "C:\\"},
        {"Teile\\eins.sys", "Teile\\eins.sys"},
    };
    for (const auto& [path, native] : toNative) {
        EXPECT_EQ(map.toNative(path), native) << path;
    }
    const std::pair<const char*, const char*> fromNative[] = {
        {"C:\\Daten\\Bericht.doc", "C:\\Daten\\Bericht.doc"},
        {"c:\\daten", "C:\\daten"},
        {"C:\\", "C:\\"},
        {"\\\\server\\share\\a.zip", "\\\\server\\share\\a.zip"},
        {"relativ\\a.zip", "relativ\\a.zip"},
    };
    for (const auto& [native, path] : fromNative) {
        EXPECT_EQ(map.fromNative(native), path) << native;
    }
    EXPECT_FALSE(map.isRemovable('c'));
}

TEST(Win32DrivesTest, DrivesWhoseMediaChangeAreRemovable) {
    const std::pair<UINT, bool> cases[] = {
        {DRIVE_REMOVABLE, true}, {DRIVE_CDROM, true},   {DRIVE_UNKNOWN, true},  {DRIVE_NO_ROOT_DIR, true},
        {DRIVE_FIXED, false},    {DRIVE_REMOTE, false}, {DRIVE_RAMDISK, false},
    };
    for (const auto& [type, removable] : cases) {
        EXPECT_EQ(rt::win32::hasChangingMedia(type), removable) << type;
    }
}

TEST(Win32DrivesTest, ADriveIsReadyOnlyWhileItsMediumAnswers) {
    const char letter = unusedLetter();
    if (letter == 0) {
        GTEST_SKIP() << "every drive letter is taken";
    }
    rt::DriveMap map;
    map.setDrive(letter, rt::win32::mediumResolver(letter));
    const std::string file = std::string(1, letter) + ":\\QUILME01.sys";
    EXPECT_EQ(errorOf([&] { map.toNative(file); }), 71) << "nothing behind " << letter;

    map.setDrive('C', rt::win32::mediumResolver('c'));
    EXPECT_EQ(map.toNative("C:\\x"), "C:\\x") << "C: answers";
    EXPECT_EQ(map.root('c'), "C:\\");
}

TEST(Win32DrivesTest, AFixedDriveIsNamedByItsLabelAndAnEmptyDriveWithoutAsking) {
    const rt::DriveMap map = rt::DriveMap::hostDefault();
    wchar_t label[MAX_PATH + 1] = {};
    ASSERT_TRUE(::GetVolumeInformationW(L"C:\\", label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(map.volumeName('c'), rt::win32::narrow(label));
    // A drive whose medium changes gets no name: listing it must not touch the medium.
    for (char letter : map.letters()) {
        if (map.isRemovable(letter)) {
            EXPECT_EQ(map.volumeName(letter), "") << letter;
        }
    }
}

} // namespace
