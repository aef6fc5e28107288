// The load handler against a recording form and a runtime whose drive C: is a temp folder.
#include "app/FormLoad.h"
#include "SpecialEntries.h"
#include "app/ReassemblerPolicy.h"
#include "app/SourceChecks.h"
#include "support/HostFiles.h"
#include "support/TempDir.h"
#include "support/TestRuntime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

using testing_support::TempDir;
using testing_support::TestRuntime;

// Records every call the load handler makes, in order, as readable text.
class RecordingForm final : public app::StartupForm {
public:
    // Unequal axes, so that a width taken from the height's scale shows.
    float pixelsToTwipsX(float pixels) const override { return pixels * 15.0f; }
    float pixelsToTwipsY(float pixels) const override { return pixels * 12.0f; }
    const core::ReassemblerChoice& reassemblerChoice() const override { return choice; }
    core::ReassemblerChoice choice; // as the program decides it for the test's start
    void setCaption(const std::string& caption) override { log("caption " + caption); }
    void unitListAddItem(const std::string& item) override { log("UnitList add " + item); }
    void setUnitListIndex(int index) override { log("UnitList index " + std::to_string(index)); }
    void setZahlText(const std::string& text) override { log("ZahlText " + text); }
    void Opt_Click(int16_t index) override { log("Opt_Click " + std::to_string(index)); }
    void setChkValue(int index, int value) override {
        log("Chk(" + std::to_string(index) + ") " + std::to_string(value));
    }
    void setLabel1Visible(bool visible) override { log(std::string("Label1 ") + (visible ? "shown" : "hidden")); }
    void setZahlTextVisible(bool visible) override { log(std::string("ZahlText ") + (visible ? "shown" : "hidden")); }
    void setUnitListVisible(bool visible) override { log(std::string("UnitList ") + (visible ? "shown" : "hidden")); }
    void setImage1Width(int index, float twips) override {
        log("Image1(" + std::to_string(index) + ") width " + std::to_string(static_cast<int>(twips)));
    }
    void setImage1Height(int index, float twips) override {
        log("Image1(" + std::to_string(index) + ") height " + std::to_string(static_cast<int>(twips)));
    }
    void setTipCaption(int index, const std::string& caption) override {
        log("Tip(" + std::to_string(index) + ") " + caption);
        tip0 = caption;
    }

    std::vector<std::string> calls;
    std::string tip0;

private:
    void log(std::string text) { calls.push_back(std::move(text)); }
};

class FormLoadTest : public ::testing::Test {
protected:
    // Runs the load handler with the given arguments; returns true when it came back
    // normally (the window would be shown), false when the program ended. Every box that
    // setupBoxes expects must have been shown by then.
    bool load(std::vector<rt::ProgramArgument> arguments) {
        rt::DriveMap drives;
        drives.setFixedDrive('C', dir.str());
        rt::ProgramFacts facts;
        facts.arguments = std::move(arguments);
        facts.programFolder = "C:\\Programme\\Teile";
        facts.programName = "teile";
        test = std::make_unique<TestRuntime>(std::move(drives), std::move(facts));
        form.choice = app::reassemblerChoice(test->runtime().facts());
        setupBoxes(test->boxes());
        test->links().result = linkResult;
        test->links().missing = linkMissing;
        bool shown = true;
        try {
            test->runtime().runGuarded([&] { app::Form_Load(form, test->runtime(), source); });
        } catch (const rt::ProgramEnded& ended) {
            endStatus = ended.status;
            shown = false;
        }
        EXPECT_TRUE(test->boxes().allShown()) << test->boxes().pending() << " expected box(es) never shown";
        return shown;
    }
    bool load(const std::string& argument) { return load({rt::ProgramArgument{argument}}); }

    std::function<void(testing_support::ScriptedMessageBox&)> setupBoxes = [](auto&) {};
    TempDir dir;
    RecordingForm form;
    core::SourceSelection source;
    std::unique_ptr<TestRuntime> test;
    int linkResult = 1;
    std::string linkMissing;
    int endStatus = -1;
};

TEST_F(FormLoadTest, StartStateIsSetInOrderBeforeTheCommandLineIsRead) {
    dir.write("Daten/Bericht.doc", "x");
    ASSERT_TRUE(load("C:\\Daten\\Bericht.doc"));
    std::vector<std::string> expectedStart = {
        "caption Splitwerk 99", "UnitList add Kbyte", "UnitList add Mbyte", "UnitList index 0", "ZahlText 1440",
        "Opt_Click 0",          "Chk(0) 0",           "Label1 hidden",      "ZahlText hidden",  "UnitList hidden",
    };
    for (const char* image : {"Image1(0)", "Image1(1)", "Image1(2)", "Image1(3)", "Image1(4)"}) {
        expectedStart.push_back(std::string(image) + " width 240");
        expectedStart.push_back(std::string(image) + " height 192");
    }
    ASSERT_EQ(form.calls.size(), expectedStart.size() + 1)
        << "only Tip(0) follows the start state: " << ::testing::PrintToString(form.calls);
    EXPECT_EQ(std::vector<std::string>(form.calls.begin(), form.calls.end() - 1), expectedStart);
    EXPECT_EQ(source.SourcePath, "C:\\Daten\\Bericht.doc");
    EXPECT_EQ(source.SourceFolder, "C:\\Daten\\");
    EXPECT_EQ(source.SourceName, "Bericht.doc");
    EXPECT_TRUE(test->boxes().shown().empty());
}

// An accepted file: its name (cut after 36 characters, none for a hidden file) and its estimate
// in the sentence; blanks around the path are not part of it, blanks inside are. Files of 2 GiB
// and past 4 GiB are estimated like any other, never an overflow (the estimate's own rounding is
// in SourceChecksTest). Sparse files: no gigabytes written.
TEST_F(FormLoadTest, AcceptedFileShowsNameAndEstimate) {
    const std::string longName = std::string(33, 'n') + ".zip"; // 37 characters
    const struct {
        std::string file; // below C:
        std::uintmax_t size;
        std::string commandLine;
        std::string shownName;
        int64_t disks;
    } cases[] = {
        {"Daten/Kapitel_1_bis_6.PAK", 6543210, "   C:\\Daten\\Kapitel_1_bis_6.PAK  ", "Kapitel_1_bis_6.PAK", 5},
        {".versteckt", 1257665, "C:\\.versteckt", "", 2},
        {longName, 3, "C:\\" + longName, longName.substr(0, 36) + " ...", 1},
        {"Eigene Dateien/Mein Brief.doc", 1, "  C:\\Eigene Dateien\\Mein Brief.doc ", "Mein Brief.doc", 1},
        {"gross.bin", 2147483648, "C:\\gross.bin", "gross.bin", 1474},
        {"gross.bin", 5368709120, "C:\\gross.bin", "gross.bin", 3684},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine + " of " + std::to_string(c.size));
        const std::filesystem::path file = dir.write(c.file, "");
        std::filesystem::resize_file(file, c.size);
        if (c.shownName.empty()) {
            testing_support::hideFile(file);
        }
        ASSERT_TRUE(load(c.commandLine));
        EXPECT_EQ(form.tip0, app::estimateSentence(c.shownName, c.disks));
        std::string path = "C:\\" + c.file;
        std::replace(path.begin(), path.end(), '/', '\\');
        EXPECT_EQ(source.SourcePath, path);
        EXPECT_EQ(source.SourceName, path.substr(path.rfind('\\') + 1));
    }
}

TEST_F(FormLoadTest, TheSentenceNamesTheFileItselfNeverAnotherThatMatches) {
    // Another spelling or a wildcard must not pick the neighbour; the names sort before the file's.
    // A blank at the end belongs to the name when such a file exists.
    const std::pair<const char*, const char*> cases[] = {
        {"bericht.doc", "BERICHT.DOC"}, {"file?.bin", "file1.bin"}, {"x.bin ", "x.bin"}};
    int tried = 0;
    for (const auto& [name, neighbour] : cases) {
        if (!testing_support::canHoldBoth(dir.path(), name, neighbour)) {
            continue; // Windows: one file under both spellings, no "?" and no trailing blank in a name
        }
        ++tried;
        dir.write(neighbour, "y");
        dir.write(name, "x");
        ASSERT_TRUE(load(std::string("C:\\") + name));
        EXPECT_EQ(form.tip0, app::estimateSentence(name, 1));
    }
    if (tried == 0) {
        GTEST_SKIP() << "this host's file system cannot hold a name beside another spelling of it";
    }
}

TEST_F(FormLoadTest, ASetForAWindowsPcNeedsTheWindowsReassembler) {
    dir.write("Bericht.doc", "x");
    const std::vector<rt::ProgramArgument> forWindowsPc = {{app::kForWindowsOption}, {"C:\\Bericht.doc"}};
    setupBoxes = [](auto& boxes) { boxes.expect(app::kNoWindowsReassembler, rt::kCriticalOk, rt::kResultOk); };
    EXPECT_FALSE(load(forWindowsPc));

    // The option is no file: with the reassembler there the file alone is loaded.
    dir.write("Programme/Teile/windows/QUIL.SYS", "MZ");
    setupBoxes = [](auto&) {};
    EXPECT_TRUE(load(forWindowsPc));
    EXPECT_EQ(source.SourcePath, "C:\\Bericht.doc");
}

using app_tests::RejectionCase;

class Rejection : public FormLoadTest, public ::testing::WithParamInterface<RejectionCase> {};

TEST_P(Rejection, ShowsItsMessageAndEnds) {
    dir.write("Daten/Bericht.doc", "x");
    dir.write("Eigene Dateien/Brief.doc", "x");
    app_tests::makeSpecialEntries(dir.path() / "Daten");
    setupBoxes = [](auto& boxes) { boxes.expect(GetParam().message, rt::kCriticalOk, rt::kResultOk); };
    EXPECT_FALSE(load(GetParam().arguments));
    EXPECT_EQ(endStatus, 0);
    EXPECT_TRUE(form.tip0.empty()) << "no estimate after a rejection";
}

INSTANTIATE_TEST_SUITE_P(
    InOrder, Rejection,
    ::testing::Values(
        // several selected files arrive as several arguments, even when one of them is missing
        RejectionCase{"TwoFiles", {{"C:\\Daten\\Bericht.doc"}, {"C:\\Daten\\Bericht.doc"}}, app::kMoreThanOneFile},
        RejectionCase{
            "TwoAndOneMissing", {{"C:\\fehlt.doc"}, {"  "}, {"C:\\Daten\\Bericht.doc"}}, app::kMoreThanOneFile},
        // a host name with a backslash has no unambiguous drive-letter form
        RejectionCase{"BackslashInName", {{"C:\\Daten\\a\\b.doc", false}}, app::kBackslashInName},
        RejectionCase{"Folder", {{"C:\\Daten"}}, app::kIsFolder},
        RejectionCase{"DriveRoot", {{"C:\\"}}, app::kIsFolder},
        RejectionCase{"DoubledBackslash", {{"C:\\Daten\\\\Bericht.doc"}}, app::kUncPath},
        // a folder with a doubled backslash is a folder first
        RejectionCase{"FolderWithDoubledBackslash", {{"C:\\\\Daten"}}, app::kIsFolder}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// Pipes, devices and names the host allows and the program must not take.
INSTANTIATE_TEST_SUITE_P(SpecialEntries, Rejection, ::testing::ValuesIn(app_tests::specialEntryRejections()),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct UnhandledCase {
    const char* name;
    const char* commandLine;
    int64_t size; // -1: do not create the file
    int error;
};

class UnhandledError : public FormLoadTest, public ::testing::WithParamInterface<UnhandledCase> {};

TEST_P(UnhandledError, IsReportedByTheRuntimeAndTheWindowIsNeverShown) {
    const auto& c = GetParam();
    if (c.size >= 0) {
        // Sparse: no gigabytes are written.
        std::filesystem::resize_file(dir.write("gross.bin", ""), static_cast<std::uintmax_t>(c.size));
    }
    setupBoxes = [&c](auto& boxes) {
        boxes.expect("Laufzeitfehler '" + std::to_string(c.error) + "':\r\r" + rt::errorDescription(c.error),
                     rt::kCriticalOk, rt::kResultOk);
    };
    EXPECT_FALSE(load(c.commandLine));
    EXPECT_NE(endStatus, 0);
    EXPECT_TRUE(form.tip0.empty());
}

INSTANTIATE_TEST_SUITE_P(Table, UnhandledError,
                         ::testing::Values(UnhandledCase{"MissingFile", "C:\\fehlt.zip", -1, rt::kFileNotFound},
                                           UnhandledCase{"MissingWithBlank", "C:\\gibt es nicht.doc", -1,
                                                         rt::kFileNotFound},
                                           UnhandledCase{"QuotedPath", "\"C:\\gross.bin\"", 10, rt::kPathNotFound}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(FormLoadTest, WithoutASendToEntryTheUsageTextPromisesNone) {
    linkResult = 0;
    for (const std::string missing : {"", "/home/fehlt"}) {
        setupBoxes = [&](auto& boxes) { boxes.expect(app::noSendToText(missing), rt::kInfoOk, rt::kResultOk); };
        linkMissing = missing;
        EXPECT_FALSE(load(std::vector<rt::ProgramArgument>{}));
    }
}

TEST_F(FormLoadTest, NoArgumentInstallsTheShortcutExplainsAndEnds) {
    for (const char* commandLine : {"", "    "}) {
        setupBoxes = [](auto& boxes) { boxes.expect(app::usageText(), rt::kInfoOk, rt::kResultOk); };
        EXPECT_FALSE(load(commandLine));
        EXPECT_EQ(endStatus, 0);
        ASSERT_FALSE(test->links().calls.empty()); // the entries themselves: CreateSendToLink's table
        EXPECT_EQ(test->links().calls[0], (testing_support::ShellLinkCall{"..\\..\\sendto", "Splitwerk 99",
                                                                          "C:\\Programme\\Teile\\teile", ""}));
        EXPECT_TRUE(form.tip0.empty());
    }
}

} // namespace
