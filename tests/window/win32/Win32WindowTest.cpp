// The Windows program's window as a user meets it, under Wine: SPLITWERK.exe is started on a
// file and driven from outside through its controls' messages, its boxes answered as they come.
#include "WindowDriver.h"

#include "copier/CopyMessages.h"
#include "support/PinnedLayout.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace win32_window_tests {
namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

// The controls that answer the options, shown or hidden as a whole or in part.
const char* const kAnswers[] = {"Label1", "ZahlText", "UnitList", "Drive1", "Dir1"};

// The resolution Wine gives the programs it starts from now on (the user's "LogPixels"), put back
// as it was at the end of the test. The window tests take turns (RESOURCE_LOCK), so no other
// program starts meanwhile.
class ScreenResolution {
public:
    explicit ScreenResolution(DWORD dotsPerInch) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                          nullptr);
        DWORD size = sizeof before_;
        had_ = ::RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&before_), &size) ==
               ERROR_SUCCESS;
        set(dotsPerInch);
    }
    ~ScreenResolution() {
        had_ ? set(before_) : void(::RegDeleteValueW(key_, L"LogPixels"));
        ::RegCloseKey(key_);
    }
    ScreenResolution(const ScreenResolution&) = delete;
    ScreenResolution& operator=(const ScreenResolution&) = delete;

private:
    void set(DWORD value) const {
        ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    HKEY key_ = nullptr;
    DWORD before_ = 96;
    bool had_ = false;
};

// Answers the one box that must come next and returns its text.
std::string answerNextBox(const WindowDriver& program, int button, int milliseconds = 20000) {
    const std::optional<Box> box = program.awaitBox(milliseconds);
    if (!box) {
        ADD_FAILURE() << "no box";
        return {};
    }
    EXPECT_EQ(box->title, "Splitwerk 99");
    program.answer(*box, button);
    return box->text;
}

class Win32WindowTest : public ::testing::Test {
protected:
    TempDir dir_;
    fs::path source_ = dir_.writeRandom("Bericht.doc", 300000, 7);
};

TEST_F(Win32WindowTest, OpensInItsStartStateAndCancelEndsWithoutAQuestion) {
    WindowDriver program({source_.string()}, dir_.str());
    ASSERT_NE(program.window(), nullptr);
    EXPECT_EQ(windowText(program.window()), "Splitwerk 99");
    EXPECT_NE(program.text("Tip(0)").find("'Bericht.doc'"), std::string::npos) << program.text("Tip(0)");
    for (const char* hidden : kAnswers) {
        EXPECT_FALSE(program.visible(hidden)) << hidden;
    }
    EXPECT_TRUE(program.checked("Opt(0)"));
    EXPECT_EQ(program.items("UnitList"), (std::vector<std::string>{"Kbyte", "Mbyte"}));
    EXPECT_EQ(program.text("ZahlText"), "1440");
    GUITHREADINFO focus{};
    focus.cbSize = sizeof focus;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(program.window(), nullptr), &focus);
    EXPECT_EQ(focus.hwndFocus, program.control("Command1(0)"));

    program.click("Command1(1)");
    EXPECT_EQ(program.awaitExit(), 0u);
    EXPECT_FALSE(program.awaitBox(300));
}

// Started without a file, as a new user starts it: the Send To link appears, then the usage
// text in a box of its own, and the window never.
TEST_F(Win32WindowTest, StartedWithoutAFileItMakesItsLinkAndExplainsItself) {
    wchar_t sendTo[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_SENDTO, nullptr, 0, sendTo), S_OK);
    const std::wstring link = std::wstring(sendTo) + L"\\Splitwerk 99.lnk";
    ::DeleteFileW(link.c_str());

    WindowDriver program({}, dir_.str());
    EXPECT_EQ(program.window(), nullptr);
    EXPECT_EQ(answerNextBox(program, IDOK).rfind("Sie haben Splitwerk 99 falsch\r\ngestartet.", 0), 0u);
    EXPECT_NE(::GetFileAttributesW(link.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(program.awaitExit(), 0u);
}

// The places of the controls that no caption widens, in pixels at the screen's resolution:
// 15 twips a pixel at 96 dots per inch, 12 at 120; the balls always 16 by 16 pixels.
void expectTheLayoutTable(const WindowDriver& program, double twipsPerPixel) {
    RECT client{};
    ::GetClientRect(program.window(), &client);
    EXPECT_NEAR(client.right, testing_support::kPinnedClientWidth / twipsPerPixel, 1.0);
    EXPECT_NEAR(client.bottom, testing_support::kPinnedClientHeight / twipsPerPixel, 1.0);

    const testing_support::PinnedPlace& frame = testing_support::pinnedPlace("Frame1(1)");
    for (const char* name : {"Frame1(1)", "Frame2(0)", "Frame2(1)", "Frame2(2)", "Frame2(3)", "Command1(0)",
                             "Command1(1)", "Command1(2)", "pbar", "Image1(0)", "Image1(4)", "Drive1"}) {
        const std::string n = name;
        const testing_support::PinnedPlace& place = testing_support::pinnedPlace(name);
        // The controls in the frame count from its corner.
        const bool inFrame = n.rfind("Frame1", 0) != 0 && n.rfind("Command1", 0) != 0 && n != "pbar";
        const RECT rect = program.place(name);
        EXPECT_NEAR(rect.left, (place.left + (inFrame ? frame.left : 0)) / twipsPerPixel, 1.0) << name;
        EXPECT_NEAR(rect.top, (place.top + (inFrame ? frame.top : 0)) / twipsPerPixel, 1.0) << name;
        const bool ball = n.rfind("Image1", 0) == 0;
        EXPECT_NEAR(rect.right - rect.left, ball ? 16 : place.width / twipsPerPixel, 1.0) << name;
        if (n != "Drive1") { // a drop-down list takes the height its font needs
            EXPECT_NEAR(rect.bottom - rect.top, ball ? 16 : place.height / twipsPerPixel, 1.0) << name;
        }
    }
    // The number box shows the five digits it takes whole: with the caret after the last, the
    // first is still in view.
    HWND zahl = program.control("ZahlText");
    ::SendMessageW(zahl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"99999"));
    ::SendMessageW(zahl, EM_SETSEL, 5, 5);
    EXPECT_EQ(::SendMessageW(zahl, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    // The window stands in the middle of the screen and cannot be resized or minimised.
    RECT outer{};
    ::GetWindowRect(program.window(), &outer);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((outer.left + outer.right) / 2, (work.left + work.right) / 2, 2);
    const LONG style = ::GetWindowLongW(program.window(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
}

TEST_F(Win32WindowTest, ControlsStandWhereTheLayoutTablePutsThem) {
    for (const int dotsPerInch : {96, 120}) {
        SCOPED_TRACE(dotsPerInch);
        const ScreenResolution resolution(static_cast<DWORD>(dotsPerInch));
        WindowDriver program({source_.string()}, dir_.str());
        ASSERT_NE(program.window(), nullptr);
        expectTheLayoutTable(program, 1440.0 / dotsPerInch);
    }
}

TEST_F(Win32WindowTest, TheOptionsShowAndHideTheirAnswersAndInfoLeavesTheWindowWaiting) {
    WindowDriver program({source_.string()}, dir_.str());
    ASSERT_NE(program.window(), nullptr);
    const std::pair<const char*, std::vector<std::string>> steps[] = {
        {"Opt(1)", {"Drive1", "Dir1"}},
        {"Chk(0)", {"Label1", "ZahlText", "UnitList", "Drive1", "Dir1"}},
        {"Chk(1)", {"Label1", "ZahlText", "UnitList", "Drive1", "Dir1"}},
        {"Chk(2)", {"Label1", "ZahlText", "UnitList", "Drive1", "Dir1"}},
        {"Opt(0)", {"Label1", "ZahlText", "UnitList"}},
        {"Chk(0)", {}},
    };
    for (const auto& [click, shown] : steps) {
        program.click(click);
        for (const char* name : kAnswers) {
            const bool show = std::find(shown.begin(), shown.end(), name) != shown.end();
            EXPECT_TRUE(eventually([&] { return program.visible(name) == show; })) << click << ": " << name;
        }
        // Exactly one option is selected, whichever was clicked last.
        EXPECT_NE(program.checked("Opt(0)"), program.checked("Opt(1)")) << click;
    }
    EXPECT_TRUE(program.checked("Opt(0)"));
    EXPECT_TRUE(program.checked("Chk(1)"));
    EXPECT_TRUE(program.checked("Chk(2)"));

    // Info shows its box, and the window waits on as it was.
    program.click("Command1(2)");
    EXPECT_EQ(
        answerNextBox(program, IDOK)
            .rfind("Transport großer Dateien auf Floppy und anderen Wechseldatenträgern leicht gemacht ...\r\n\r\n", 0),
        0u);
    EXPECT_FALSE(program.awaitExit(300));
    EXPECT_TRUE(program.enabled("Command1(0)"));
}

// Choosing A: while the drive has no disk: the program's own box names the drive, no box of
// the system's asks for a disk, and the list goes to the drive that holds the program.
TEST_F(Win32WindowTest, AFloppyDriveWithoutDiskSendsTheListBackToTheProgramsDrive) {
    WindowDriver program({source_.string()}, dir_.str());
    ASSERT_NE(program.window(), nullptr);
    const std::vector<std::string> drives = program.items("Drive1");
    if (drives.empty() || drives.front().rfind("a:", 0) != 0) {
        GTEST_SKIP() << "this Wine prefix has no drive A: (scripts/wine-run.sh --init makes one without a disk)";
    }
    program.click("Opt(1)");
    program.choose("Drive1", 0);
    EXPECT_EQ(answerNextBox(program, IDOK), "Auf Laufwerk A: kann nicht zugegriffen werden!");
    // The drive that holds the program: Z:, where Wine has the build tree.
    EXPECT_TRUE(eventually([&] { return drives.at(static_cast<std::size_t>(program.selected("Drive1")))[0] == 'z'; }));
    EXPECT_FALSE(program.awaitBox(300));
}

// A run into a folder, and Abbrechen while it runs: the click waits in the queue behind OK and
// reaches the run at its first yield.
TEST_F(Win32WindowTest, ARunIntoAFolderAndAbbrechenDuringIt) {
    struct Case {
        const char* name;
        int abortAnswer; // 0: no Abbrechen
    };
    for (const Case& c : {Case{"finished", 0}, Case{"Abbrechen, Nein", IDNO}, Case{"Abbrechen, Ja", IDYES}}) {
        SCOPED_TRACE(c.name);
        TempDir target;
        WindowDriver program({source_.string()}, target.str());
        ASSERT_NE(program.window(), nullptr);
        program.click("Opt(1)");
        ASSERT_TRUE(eventually([&] { return program.visible("Dir1"); }));
        program.click("Command1(0)");
        if (c.abortAnswer != 0) {
            program.click("Command1(1)");
            EXPECT_EQ(answerNextBox(program, c.abortAnswer), kopierer::messages::kConfirmAbort);
        }
        if (c.abortAnswer != IDYES) {
            EXPECT_EQ(answerNextBox(program, IDOK), kopierer::messages::kCopyFinished);
            EXPECT_EQ(testing_support::readFile(target.path() / "QUILME01.sys"), testing_support::readFile(source_));
            EXPECT_TRUE(fs::exists(target.path() / "QUIL.EXE"));
        }
        EXPECT_EQ(program.awaitExit(), 0u);
        EXPECT_FALSE(program.awaitBox(300));
    }
}

// Code or an accessibility tool sets the controls by messages no click comes with; the run uses
// what the window then shows: parts of 1 Mbyte, into the folder.
TEST_F(Win32WindowTest, ControlsSetWithoutAClickAreWhatTheRunUses) {
    TempDir target;
    WindowDriver program({dir_.writeRandom("Archiv.zip", 2500000, 5).string()}, target.str());
    ASSERT_NE(program.window(), nullptr);
    ::SendMessageW(program.control("Opt(1)"), BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(program.control("Chk(0)"), BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(program.control("UnitList"), CB_SETCURSEL, 1, 0);
    ::SendMessageW(program.control("ZahlText"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    program.click("Command1(0)");
    EXPECT_EQ(answerNextBox(program, IDOK), kopierer::messages::kCopyFinished);
    EXPECT_EQ(fs::file_size(target.path() / "QUILME03.sys"), 2500000u - 2 * 1048576);
}

// Two diskettes through drive A:, a 1440 KiB medium that scripts/wine-floppy.sh mounts behind
// the Wine prefix's A: for this test. When the first is full, the test takes it out (moves its
// files away) and puts in an empty one, as the box asks.
TEST_F(Win32WindowTest, TwoDiskettesThroughDriveA) {
    if (std::getenv("SPLITWERK_WINE_FLOPPY") == nullptr) {
        GTEST_SKIP() << "needs a 1440 KiB medium in A:, which scripts/wine-floppy.sh mounts as root";
    }
    const fs::path source = dir_.writeRandom("Archiv.zip", 2000000, 11);
    const fs::path floppy = "A:\\";
    TempDir firstDisk;
    WindowDriver program({source.string()}, dir_.str());
    ASSERT_NE(program.window(), nullptr);
    program.click("Command1(0)");
    const std::optional<Box> full = program.awaitBox(60000);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->text.substr(0, 24), std::string(kopierer::messages::kDiskFull).substr(0, 24));
    for (const fs::directory_entry& file : fs::directory_iterator(floppy)) {
        fs::copy_file(file.path(), firstDisk.path() / file.path().filename());
        fs::remove(file.path());
    }
    program.answer(*full, IDOK);
    EXPECT_EQ(answerNextBox(program, IDOK, 60000), kopierer::messages::kCopyFinished);
    EXPECT_EQ(program.awaitExit(), 0u);
    EXPECT_TRUE(fs::exists(firstDisk.path() / "QUIL.EXE"));
    const std::string joined = testing_support::readFile(firstDisk.path() / "QUILME01.sys") +
                               testing_support::readFile(floppy / "QUILME02.sys");
    EXPECT_EQ(joined, testing_support::readFile(source));
}

} // namespace
} // namespace win32_window_tests
