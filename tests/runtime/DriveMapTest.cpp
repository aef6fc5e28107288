// Translation between drive-letter paths and host paths, both ways, and the mounts table
// behind the Linux drives.
#include "runtime/DriveMap.h"
#include "runtime/RuntimeError.h"
#include "runtime/posix/LinuxDrives.h"
#include "support/Outcomes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using testing_support::TempDir;

rt::DriveMap testMap() {
    rt::DriveMap map;
    map.setFixedDrive('A', "/tmp/floppy");
    map.setFixedDrive('c', "/home/u/");
    map.setFixedDrive('D', "/home/u/stick");
    map.setFixedDrive('Z', "/");
    return map;
}

using testing_support::errorOf;

TEST(DriveMapTest, ToNativeTranslatesDriveLetterPaths) {
    const rt::DriveMap map = testMap();
    const std::pair<const char*, const char*> cases[] = {
        {"A:\\QUILME01.sys", "/tmp/floppy/QUILME01.sys"},
        {"a:\\Teil\\x.sys", "/tmp/floppy/Teil/x.sys"},
        {"A:", "/tmp/floppy"},
        {"A:\\", "/tmp/floppy"},
        {"C:\\Daten\\Bericht.doc", "/home/u/Daten/Bericht.doc"},
        {"C:\\", "/home/u"},
        {"Z:\\", "/"},
        {"Z:", "/"},
        {"Z:\\home\\u\\a.zip", "/home/u/a.zip"},
        {"Teile\\eins.sys", "Teile/eins.sys"},
        {"eins.sys", "eins.sys"},
        {"", ""},
    };
    for (const auto& [path, native] : cases) {
        EXPECT_EQ(map.toNative(path), native) << path;
    }
}

TEST(DriveMapTest, UnknownOrUnreadyDriveIsError71) {
    rt::DriveMap map = testMap();
    map.setDrive('B', [] { return std::optional<std::string>(); });
    EXPECT_EQ(errorOf([&] { map.toNative("B:\\x"); }), 71);
    EXPECT_EQ(errorOf([&] { map.toNative("Q:\\x"); }), 71);
    map.removeDrive('a');
    EXPECT_EQ(errorOf([&] { map.toNative("A:\\QUIL.EXE"); }), 71);
}

TEST(DriveMapTest, FromNativeTakesTheLongestMatchingDrive) {
    const rt::DriveMap map = testMap();
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/a.zip", "C:\\a.zip"},
        {"/home/u/stick/a.zip", "D:\\a.zip"},
        {"/home/u/stick", "D:\\"},
        {"/home/u/stick/", "D:\\"},
        {"/home/u/sticky/a", "C:\\sticky\\a"}, // a common prefix is not a parent folder
        {"/home/u", "C:\\"},
        {"/tmp/floppy/x/y.sys", "A:\\x\\y.sys"},
        {"/etc/passwd", "Z:\\etc\\passwd"},
        {"/", "Z:\\"},
        {"relative/name.txt", "relative\\name.txt"},
        // Linux reads doubled slashes as one; as backslashes they would pass for a network name.
        {"//home/u/stick//a.zip", "D:\\a.zip"},
        {"/etc//passwd", "Z:\\etc\\passwd"},
    };
    for (const auto& [native, path] : cases) {
        EXPECT_EQ(map.fromNative(native), path) << native;
    }
}

TEST(DriveMapTest, SamePlaceComparesTheFoldersTheTextNames) {
    rt::DriveMap map;
    map.setFixedDrive('Z', "/");
    map.setFixedDrive('A', "/media/floppy0");
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"Z:\\media\\floppy0\\", "A:\\", true},   {"Z:\\media\\\\floppy0", "A:", true},
        {"Z:\\a\\.\\b\\..\\c", "Z:\\a\\c", true}, {"Z:\\..\\..", "Z:\\", true},
        {"Z:\\a\\b", "Z:\\a\\c", false},          {"Z:\\Größe", "Z:\\Grösse", false},
    };
    for (const auto& [a, b, same] : cases) {
        EXPECT_EQ(map.samePlace(a, b), same) << a << " " << b;
    }
}

TEST(DriveMapTest, FromNativeWithoutACoveringDriveKeepsThePathWithBackslashes) {
    rt::DriveMap map;
    map.setFixedDrive('C', "/home/u");
    EXPECT_EQ(map.fromNative("/etc/passwd"), "\\etc\\passwd");
}

TEST(DriveMapTest, ReadinessIsAskedAtEveryAccess) {
    bool mounted = false;
    rt::DriveMap map;
    map.setDrive('A', [&mounted]() -> std::optional<std::string> {
        if (mounted) {
            return std::string("/mnt/a");
        }
        return std::nullopt;
    });
    EXPECT_EQ(errorOf([&] { map.toNative("A:\\x"); }), 71);
    mounted = true;
    EXPECT_EQ(map.toNative("A:\\x"), "/mnt/a/x");
    EXPECT_EQ(map.fromNative("/mnt/a/x"), "A:\\x");
    mounted = false;
    EXPECT_EQ(errorOf([&] { map.toNative("A:\\x"); }), 71);
    EXPECT_FALSE(map.root('a').has_value());
    EXPECT_EQ(map.letters(), std::vector<char>{'a'});
}

TEST(DriveMapTest, ReadMountsDecodesOctalEscapes) {
    TempDir dir;
    dir.write("mounts", "/dev/sda1 / ext4 rw 0 0\n"
                        "/dev/sdb1 /media/u/MEIN\\040STICK vfat rw 0 0\n"
                        "tmpfs /tmp/a\\134b tmpfs rw 0 0\n"
                        "broken\n");
    const std::vector<rt::MountEntry> mounts = rt::readMounts((dir.path() / "mounts").string());
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0].device, "/dev/sda1");
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[1].mountPoint, "/media/u/MEIN STICK");
    EXPECT_EQ(mounts[2].mountPoint, "/tmp/a\\b");
}

TEST(DriveMapTest, MountPointResolverIsReadyOnlyWhileTheFolderIsMounted) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "floppy");
    const std::string floppy = std::filesystem::canonical(dir.path() / "floppy").string();
    const std::string mounts = (dir.path() / "mounts").string();
    rt::DriveMap map;
    map.setDrive('A', rt::mountPointResolver(floppy, mounts));

    dir.write("mounts", "/dev/sda1 / ext4 rw 0 0\n");
    EXPECT_EQ(errorOf([&] { map.toNative("A:\\QUIL.EXE"); }), 71);

    dir.write("mounts", "/dev/sda1 / ext4 rw 0 0\n/dev/fd0 " + floppy + " vfat rw 0 0\n");
    EXPECT_EQ(map.toNative("A:\\QUIL.EXE"), floppy + "/QUIL.EXE");

    dir.write("mounts", "/dev/sda1 / ext4 rw 0 0\n");
    EXPECT_EQ(errorOf([&] { map.toNative("A:\\QUIL.EXE"); }), 71);
}

TEST(DriveMapTest, LinuxDefaultHasTheFloppyAndTheRoot) {
    const rt::DriveMap map = rt::DriveMap::hostDefault();
    const std::vector<char> letters = map.letters();
    ASSERT_FALSE(letters.empty());
    EXPECT_EQ(letters.front(), 'a');
    EXPECT_EQ(letters.back(), 'z');
    EXPECT_EQ(map.toNative("Z:\\etc\\hostname"), "/etc/hostname");
    // Removable media are mounted below /media/<user>/, so they never take the root's place.
    EXPECT_EQ(map.fromNative("/usr/bin/env"), "Z:\\usr\\bin\\env");
}

} // namespace

TEST(DriveMapTest, AVolumeIsNamedByTheHostElseByItsDirectory) {
    rt::DriveMap map = testMap();
    map.setVolumeNamer('c', [] { return std::string("SYSTEM"); });
    map.setVolumeNamer('q', [] { return std::string("unknown drives keep no namer"); });
    const std::pair<char, const char*> cases[] = {
        {'c', "SYSTEM"}, // the host's name wins over the directory's
        {'d', "stick"},  // a stick is named by its mount point
        {'a', ""},       // the floppy's disk changes while the list stands
        {'z', ""},       // the root has no name
        {'q', ""},
    };
    for (const auto& [letter, name] : cases) {
        EXPECT_EQ(map.volumeName(letter), name) << letter;
    }
}
