// The Windows boundary: UTF-8 to UTF-16 and back, the long form of paths, message boxes
// and the system's own error boxes.
#include "runtime/HostPlatform.h"
#include "runtime/win32/Win32LongPath.h"
#include "runtime/win32/Win32MessageBox.h"
#include "support/Outcomes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

namespace {

using rt::win32::longPath;
using rt::win32::narrow;
using testing_support::errorOf;

TEST(BoundaryTest, AbsolutePathsGetTheLongFormAndDevicesStayDevices) {
    struct Case {
        const wchar_t* full;
        const wchar_t* prefixed;
        const wchar_t* plain; // as the user knows it
    };
    const Case cases[] = {
        {L"C:\\Daten\\a.zip", L"\\\\?\\C:\\Daten\\a.zip", L"C:\\Daten\\a.zip"},
        {L"A:\\", L"\\\\?\\A:\\", L"A:\\"},
        {L"\\\\server\\share\\a.zip", L"\\\\?\\UNC\\server\\share\\a.zip", L"\\\\server\\share\\a.zip"},
        {L"\\\\?\\C:\\schon\\lang", L"\\\\?\\C:\\schon\\lang", L"C:\\schon\\lang"},
        {L"\\\\.\\NUL", L"\\\\.\\NUL", L"\\\\.\\NUL"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rt::win32::withLongPathPrefix(c.full), c.prefixed) << narrow(c.full);
        EXPECT_EQ(rt::win32::withoutLongPathPrefix(c.prefixed), c.plain) << narrow(c.full);
    }
}

TEST(BoundaryTest, RelativePathsAreResolvedAgainstTheWorkingFolderFirst) {
    wchar_t cwd[MAX_PATH * 4];
    ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH * 4, cwd), 0u);
    std::wstring base = cwd;
    if (base.back() != L'\\') {
        base += L'\\';
    }
    EXPECT_EQ(longPath("teil/eins.sys"), rt::win32::withLongPathPrefix(base + L"teil\\eins.sys"));
    EXPECT_EQ(longPath("teil\\..\\zwei.sys"), rt::win32::withLongPathPrefix(base + L"zwei.sys"));
    EXPECT_EQ(longPath("C:\\a\\.\\b\\..\\c.txt"), L"\\\\?\\C:\\a\\c.txt");
    // A last dot or blank is part of the name: "C:\Daten\twin.bin" may be another file.
    EXPECT_EQ(longPath("C:/Daten./x/../twin.bin "), L"\\\\?\\C:\\Daten.\\twin.bin ");
    EXPECT_EQ(longPath("\\\\server\\share\\\\dot."), L"\\\\?\\UNC\\server\\share\\dot.");
    EXPECT_TRUE(rt::win32::isDevicePath(longPath("C:\\Daten\\NUL")));
    EXPECT_FALSE(rt::win32::isDevicePath(longPath("C:\\Daten\\NULL")));
    EXPECT_EQ(errorOf([] { longPath("C:\\kaputt\xC3"); }), 76) << "no valid UTF-8, no valid name";
}

TEST(BoundaryTest, LoneCarriageReturnsBecomeLineBreaksInABox) {
    const std::pair<std::string, std::wstring> cases[] = {
        {"eins\rzwei", L"eins\r\nzwei"},
        {"eins\r\rzwei", L"eins\r\n\r\nzwei"},
        {"schon\r\nrichtig", L"schon\r\nrichtig"},
        {"am Ende\r", L"am Ende\r\n"},
        {"Datentr\xC3\xA4ger", L"Datentr\u00E4ger"},
    };
    for (const auto& [prompt, shown] : cases) {
        EXPECT_EQ(rt::win32::messageBoxText(prompt), shown);
    }
}

TEST(BoundaryTest, ABoxThatCannotBeShownAnswersAsIfClosed) {
    const std::pair<int, int> cases[] = {
        {rt::kCriticalOk, rt::kResultOk},
        {rt::kCriticalOkCancel, rt::kResultCancel},
        {rt::kInfoOk, rt::kResultOk},
        {rt::kInfoOkCancel, rt::kResultCancel},
        {rt::kQuestionYesNoDefaultNo, rt::kResultNo},
    };
    for (const auto& [style, answer] : cases) {
        EXPECT_EQ(rt::win32::answerWithoutBox(style), answer) << style;
    }
    // Without a display Wine cannot show a box at all (MessageBoxW fails at once).
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0') {
        GTEST_SKIP() << "a display is set: a real box would wait for a click";
    }
    rt::Win32MessageBox boxes;
    for (const auto& [style, answer] : cases) {
        EXPECT_EQ(boxes.show("Keine Anzeige\rda", style, "Splitwerk 99"), answer) << style;
    }
}

TEST(BoundaryTest, TheSystemNeverAsksForADiskItself) {
    rt::prepareProcess();
    // Read the way XP allows (GetErrorMode came with Vista): set, and put the old mode back.
    const UINT mode = ::SetErrorMode(0);
    ::SetErrorMode(mode);
    EXPECT_NE(mode & SEM_FAILCRITICALERRORS, 0u);
    EXPECT_NE(mode & SEM_NOOPENFILEERRORBOX, 0u);
}

} // namespace
