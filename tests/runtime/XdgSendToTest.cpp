// The Send To entries for Thunar, Nautilus and Dolphin: where they land, what they hold,
// that a second call replaces them, and that odd program paths survive the quoting.
#include "runtime/posix/XdgSendTo.h"
#include "runtime/DriveMap.h"
#include "support/Command.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::TempDir;

const char* const kSendTo = "..\\..\\sendto";

class XdgSendToTest : public ::testing::Test {
protected:
    XdgSendToTest() {
        drives_.setFixedDrive('Z', "/");
        drives_.setFixedDrive('C', (dir_.path() / "programme").string());
        fs::create_directories(dir_.path() / "programme");
    }

    // A fake program that prints its arguments, one per line, into a file beside it.
    std::string installProgram(const std::string& folderName, const std::string& fileName) {
        const fs::path folder = dir_.path() / "programme" / folderName;
        fs::create_directories(folder);
        const fs::path program = folder / fileName;
        dir_.write(fs::relative(program, dir_.path()).string(),
                   "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/args.txt\"\n");
        fs::permissions(program, fs::perms::owner_all);
        return program.string();
    }

    std::string dataHome() const { return (dir_.path() / "share").string(); }

    TempDir dir_;
    rt::DriveMap drives_;
};

TEST_F(XdgSendToTest, CreatesTheThreeEntries) {
    const std::string program = installProgram("splitwerk99", "splitwerk");
    rt::XdgSendTo sendTo(drives_, dataHome());
    ASSERT_EQ(sendTo.create(kSendTo, "Splitwerk 99", "C:\\splitwerk99\\splitwerk", ""), 1);

    EXPECT_EQ(sendTo.thunarEntry("Splitwerk 99"), dataHome() + "/Thunar/sendto/splitwerk99.desktop");
    EXPECT_EQ(sendTo.nautilusScript("Splitwerk 99"), dataHome() + "/nautilus/scripts/Splitwerk 99");
    EXPECT_EQ(sendTo.dolphinEntry("Splitwerk 99"), dataHome() + "/kio/servicemenus/splitwerk99.desktop");

    EXPECT_EQ(readFile(sendTo.thunarEntry("Splitwerk 99")), "[Desktop Entry]\n"
                                                            "Type=Application\n"
                                                            "Version=1.0\n"
                                                            "Name=Splitwerk 99\n"
                                                            "Icon=splitwerk99\n"
                                                            "Exec=\"" +
                                                                program + "\" %F\n");
    const std::string dolphin = readFile(sendTo.dolphinEntry("Splitwerk 99"));
    EXPECT_NE(dolphin.find("Type=Service\n"), std::string::npos);
    EXPECT_NE(dolphin.find("MimeType=application/octet-stream;\n"), std::string::npos);
    EXPECT_NE(dolphin.find("Actions=splitwerk99;\n"), std::string::npos);
    EXPECT_NE(dolphin.find("[Desktop Action splitwerk99]\nName=Splitwerk 99\nIcon=splitwerk99\nExec=\"" + program +
                           "\" %F\n"),
              std::string::npos);

    // A second entry under another name still shows the program's own icon.
    const std::string other = "Splitwerk 99 für einen Windows-PC";
    ASSERT_EQ(sendTo.create(kSendTo, other, "C:\\splitwerk99\\splitwerk", "--fuer-windows"), 1);
    EXPECT_NE(readFile(sendTo.thunarEntry(other)).find("\nIcon=splitwerk99\n"), std::string::npos);
    EXPECT_NE(readFile(sendTo.dolphinEntry(other)).find("\nIcon=splitwerk99\n"), std::string::npos);

    const auto executable = fs::perms::owner_exec;
    EXPECT_NE(fs::status(sendTo.nautilusScript("Splitwerk 99")).permissions() & executable, fs::perms::none);
    EXPECT_NE(fs::status(sendTo.dolphinEntry("Splitwerk 99")).permissions() & executable, fs::perms::none);
}

// The new program is the Windows one: a target without extension is completed with .exe.
TEST_F(XdgSendToTest, ASecondCallReplacesTheEntriesWithoutDuplicates) {
    installProgram("alt", "splitwerk");
    const std::string program = installProgram("neu", "splitwerk.exe");
    rt::XdgSendTo sendTo(drives_, dataHome());
    ASSERT_EQ(sendTo.create(kSendTo, "Splitwerk 99", "C:\\alt\\splitwerk", ""), 1);
    ASSERT_EQ(sendTo.create(kSendTo, "Splitwerk 99", "C:\\neu\\splitwerk", ""), 1);

    for (const char* folder : {"Thunar/sendto", "nautilus/scripts", "kio/servicemenus"}) {
        const auto count = std::distance(fs::directory_iterator(dataHome() + "/" + folder), fs::directory_iterator());
        EXPECT_EQ(count, 1) << folder;
    }
    const std::string thunar = readFile(sendTo.thunarEntry("Splitwerk 99"));
    EXPECT_NE(thunar.find("Exec=\"" + program + "\" %F"), std::string::npos);
    EXPECT_EQ(thunar.find("/alt/"), std::string::npos);
    EXPECT_EQ(thunar.find("[Desktop Entry]"), thunar.rfind("[Desktop Entry]"));
}

TEST_F(XdgSendToTest, OtherFoldersAndBadTargetsAreRefused) {
    installProgram("p", "splitwerk");
    rt::XdgSendTo sendTo(drives_, dataHome());
    EXPECT_EQ(sendTo.create("..\\Autostart", "Splitwerk 99", "C:\\p\\splitwerk", ""), 0);
    EXPECT_EQ(sendTo.create(kSendTo, "Splitwerk 99", "Q:\\p\\splitwerk", ""), 0);
    EXPECT_EQ(sendTo.create(kSendTo, "a/b", "C:\\p\\splitwerk", ""), 0);
    EXPECT_FALSE(fs::exists(dataHome()));
    EXPECT_EQ(sendTo.create("..\\..\\SendTo", "Splitwerk 99", "C:\\p\\splitwerk", ""), 1);
}

TEST_F(XdgSendToTest, WithoutAHomeNothingIsWrittenBelowTheRoot) {
    installProgram("p", "splitwerk");
    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome != nullptr ? savedHome : "";
    const char* savedXdg = std::getenv("XDG_DATA_HOME");
    const std::string xdg = savedXdg != nullptr ? savedXdg : "";
    ::unsetenv("XDG_DATA_HOME");
    for (const char* value : {static_cast<const char*>(nullptr), "", "/", "relativ"}) {
        value == nullptr ? ::unsetenv("HOME") : ::setenv("HOME", value, 1);
        rt::XdgSendTo sendTo(drives_);
        EXPECT_EQ(sendTo.create(kSendTo, "Splitwerk 99", "C:\\p\\splitwerk", ""), 0) << (value ? value : "unset");
    }
    EXPECT_FALSE(fs::exists("/.local/share/Thunar/sendto/splitwerk99.desktop"));
    savedHome != nullptr ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
    if (savedXdg != nullptr) {
        ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    }
}

// A missing data folder is made with whatever is missing above it, each new folder the user's
// alone; a missing home never is, and the message names it.
TEST_F(XdgSendToTest, AMissingDataFolderIsMadeAMissingHomeNever) {
    installProgram("p", "splitwerk");
    const fs::path missing = dir_.path() / "fehlt";
    const char* saved[] = {std::getenv("HOME"), std::getenv("XDG_DATA_HOME")};
    const std::string values[] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : ""};
    // The home, XDG_DATA_HOME (unset when empty), and the outermost folder made (empty: none),
    // which like the innermost must be 0700.
    const std::tuple<fs::path, fs::path, fs::path> cases[] = {
        {missing, {}, {}},
        {missing, missing / ".local/share", {}},
        {missing, dir_.path().string() + "//fehlt/./.local/share", {}},
        {dir_.path(), {}, dir_.path() / ".local"},
        {missing / "heim", dir_.path() / "anderswo/daten", dir_.path() / "anderswo"}};
    for (const auto& [home, xdg, made] : cases) {
        ::setenv("HOME", home.c_str(), 1);
        xdg.empty() ? ::unsetenv("XDG_DATA_HOME") : ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
        rt::XdgSendTo sendTo(drives_);
        EXPECT_EQ(sendTo.create(kSendTo, "Splitwerk 99", "C:\\p\\splitwerk", ""), made.empty() ? 0 : 1) << xdg;
        EXPECT_EQ(sendTo.missingFolder(), made.empty() ? home.string() : "") << xdg;
        EXPECT_EQ(fs::exists(home), home == dir_.path()) << xdg;
        for (const fs::path& folder : {made, fs::path(sendTo.thunarEntry("Splitwerk 99")).parent_path()}) {
            EXPECT_TRUE(made.empty() || fs::status(folder).permissions() == fs::perms::owner_all) << folder;
        }
    }
    // A home that is a link to a folder that is gone, the data folder named by the link's target.
    fs::create_directory_symlink(missing, dir_.path() / "heim");
    ::setenv("HOME", (dir_.path() / "heim").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (missing / ".local/share").c_str(), 1);
    EXPECT_EQ(rt::XdgSendTo(drives_).create(kSendTo, "Splitwerk 99", "C:\\p\\splitwerk", ""), 0);
    EXPECT_FALSE(fs::exists(missing));
    saved[0] != nullptr ? ::setenv("HOME", values[0].c_str(), 1) : ::unsetenv("HOME");
    saved[1] != nullptr ? ::setenv("XDG_DATA_HOME", values[1].c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
}

TEST(ExecQuotingTest, DesktopExecAndShellQuoting) {
    const std::pair<const char*, const char*> desktop[] = {
        {"/opt/splitwerk/splitwerk", "\"/opt/splitwerk/splitwerk\""},
        {"/opt/Split werk/sw", "\"/opt/Split werk/sw\""},
        {"/opt/a\"b/sw", "\"/opt/a\\\\\"b/sw\""},
        {"/opt/$HOME/sw", "\"/opt/\\\\$HOME/sw\""},
        {"/opt/a`b/sw", "\"/opt/a\\\\`b/sw\""},
        {"/opt/a\\b/sw", "\"/opt/a\\\\\\\\b/sw\""},
        {"/opt/100%/sw", "\"/opt/100%%/sw\""},
    };
    for (const auto& [argument, quoted] : desktop) {
        EXPECT_EQ(rt::desktopExecQuote(argument), quoted) << argument;
    }
    EXPECT_EQ(rt::shellQuote("/opt/Split werk/sw"), "'/opt/Split werk/sw'");
    EXPECT_EQ(rt::shellQuote("/opt/it's/sw"), "'/opt/it'\\''s/sw'");
    EXPECT_EQ(rt::shellQuote("$x `y` \\z"), "'$x `y` \\z'");
}

// Program folders whose names need quoting; the entries must start exactly that program.
class XdgSendToOddPaths : public XdgSendToTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(XdgSendToOddPaths, ThunarEntryIsValidAndTheNautilusScriptStartsTheProgram) {
    const std::string program = installProgram(GetParam(), "splitwerk");
    rt::XdgSendTo sendTo(drives_, dataHome());
    const std::string target = drives_.fromNative(program);
    ASSERT_EQ(sendTo.create(kSendTo, "Splitwerk 99", target, ""), 1);

    // The script gets a name relative to the folder the file manager shows.
    fs::create_directories(dir_.path() / "daten");
    dir_.write("daten/Mein Bericht.doc", "x");
    // Every selected file reaches the program, each made absolute, in order.
    const auto [output, status] = testing_support::commandOutput("cd '" + (dir_.path() / "daten").string() +
                                                                 "' && sh '" + sendTo.nautilusScript("Splitwerk 99") +
                                                                 "' 'Mein Bericht.doc' /etc/hostname 2>&1");
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(readFile(fs::path(program).parent_path() / "args.txt"),
              (dir_.path() / "daten" / "Mein Bericht.doc").string() + "\n/etc/hostname\n");

    if (std::system("command -v desktop-file-validate >/dev/null") != 0) {
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
    }
    const auto [report, valid] =
        testing_support::commandOutput("desktop-file-validate '" + sendTo.thunarEntry("Splitwerk 99") + "' 2>&1");
    EXPECT_EQ(valid, 0) << report;
    EXPECT_EQ(report, "");
}

INSTANTIATE_TEST_SUITE_P(Folders, XdgSendToOddPaths,
                         ::testing::Values("splitwerk99", "Split werk 99", "it's \"quoted\"", "cost $5 `now`", "100%"));

} // namespace
