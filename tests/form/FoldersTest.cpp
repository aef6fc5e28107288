// The drive and directory lists without a window: opening directories, and keeping the lists on
// a readable drive when the user picks one that is not.
#include "FormFixture.h"
#include "support/Outcomes.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace form_tests {
namespace {

namespace fs = std::filesystem;

const char* kNotAccessibleA = "Auf Laufwerk A: kann nicht zugegriffen werden!";
const char* kNotAccessibleC = "Auf Laufwerk C: [C] kann nicht zugegriffen werden!";

std::vector<std::string> captions(const FolderList& list) {
    std::vector<std::string> out;
    for (const FolderList::Entry& entry : list.entries()) {
        out.push_back(std::string(static_cast<std::size_t>(entry.depth), ' ') + entry.caption +
                      (entry.kind == FolderList::EntryKind::Open ? "" : "+"));
    }
    return out;
}

TEST_F(FormTest, TheFolderListShowsThePathChainAndTheSubfolders) {
    form_->setDir1Path("C:\\ziel");
    // Siblings of the open folder are not listed; closed folders are marked "+" here.
    EXPECT_EQ(captions(form_->dir1()), (std::vector<std::string>{"C:\\", " ziel", "  unten+"}));
    EXPECT_EQ(form_->dir1().entries()[2].path, "C:\\ziel\\unten");
    EXPECT_EQ(reported_.back(), FormPart::Folder);
}

TEST_F(FormTest, FolderPathForms) {
    struct Case {
        const char* set;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\ziel\\unten", "C:\\ziel\\unten"},
        {"..", "C:\\ziel"},
        {"unten", "C:\\ziel\\unten"},
        {"c:\\ziel\\", "C:\\ziel"},
        {"C:\\", "C:\\"},
        {"c:ziel", "C:\\ziel"}, // counts from the drive's current directory
        {"C:\\daten\\..\\ziel\\.", "C:\\ziel"},
        {"C:\\", "C:\\"},
        {"c: [c]", "C:\\"}, // the drive's current directory: the last one opened on it
        {"C:\\ziel", "C:\\ziel"},
        {"c:", "C:\\ziel"},
    };
    for (const Case& step : cases) {
        form_->setDir1Path(step.set);
        EXPECT_EQ(form_->dir1Path(), step.expected) << step.set;
    }
}

TEST_F(FormTest, TheFolderListRefusesWhatCannotBeRead) {
    form_->setDir1Path("C:\\ziel");
    struct Case {
        const char* set;
        int error;
    };
    const Case cases[] = {
        {"a:", rt::kDiskNotReady},
        {"A:\\", rt::kDiskNotReady},
        {"Q:\\", rt::kDiskNotReady},
        {"C:\\fehlt", rt::kPathNotFound},
        {"C:\\prog\\QUIL.SYS", rt::kPathNotFound},
    };
    for (const Case& step : cases) {
        EXPECT_EQ(testing_support::errorOf([&] { form_->setDir1Path(step.set); }), step.error) << step.set;
        EXPECT_FALSE(form_->openFolder(step.set)) << "the user's choice simply does not open";
        EXPECT_EQ(form_->dir1Path(), "C:\\ziel") << "a failed change leaves the list as it was";
    }
}

TEST_F(FormTest, TheFolderListOpensWhereALinkLeadsOnItsOwnDriveOnly) {
    const fs::path daten = fs::path(drives_.cRoot) / "daten";
    std::error_code error;
    fs::create_directory_symlink(fs::path(drives_.cRoot) / "ziel", daten / "verweis", error);
    if (error) {
        GTEST_SKIP() << "this host makes no folder links: " << error.message();
    }
    fs::create_directory_symlink(drives_.aRoot, daten / "diskette");
    drives_.floppyInserted = true;
    form_->setDir1Path("C:\\daten\\verweis\\unten");
    EXPECT_EQ(form_->dir1Path(), "C:\\ziel\\unten");
    // The run would refuse a target on another drive: the list does not open it.
    EXPECT_THROW(form_->setDir1Path("C:\\daten\\diskette"), rt::RuntimeError);
    EXPECT_EQ(form_->dir1Path(), "C:\\ziel\\unten");
}

TEST_F(FormTest, ChoosingAReadableDriveMovesTheFolderList) {
    drives_.floppyInserted = true;
    form_->chooseDrive(0);
    EXPECT_EQ(form_->dir1Path(), "A:\\");
    form_->chooseDrive(1);
    EXPECT_EQ(form_->dir1Path(), "C:\\daten") << "each drive keeps its current directory";
}

// Drive1_Change's recovery: the box names the drive that failed, then the list goes back to the
// program's drive; when that cannot be read either, one more box and the recursion stops.
TEST_F(FormTest, AnUnreadableDriveIsReportedAndUndone) {
    struct Case {
        const char* what;
        bool startOnA; // the user stands on a: (with a disk) before it all goes
        bool programDriveReadable;
        int choose;
        std::vector<std::string> boxes;
        const char* folder; // what the folder list shows afterwards
    };
    const Case cases[] = {
        {"a: without a disk", false, true, 0, {kNotAccessibleA}, "C:\\daten"},
        {"a: without a disk, c: gone too", false, false, 0, {kNotAccessibleA, kNotAccessibleC}, "C:\\daten"},
        // Choosing c: fails; the recovery sets the list to c:, which it already shows, so no
        // second change is raised.
        {"c: gone while on a:", true, false, 1, {kNotAccessibleC}, "A:\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        drives_.programDriveReadable = true;
        drives_.floppyInserted = c.startOnA;
        form_->chooseDrive(c.startOnA ? 0 : 1);
        drives_.floppyInserted = false;
        drives_.programDriveReadable = c.programDriveReadable;
        const std::size_t before = test_->boxes().shown().size();
        for (const std::string& box : c.boxes) {
            test_->boxes().expect(box, rt::kCriticalOk, rt::kResultOk);
        }
        form_->chooseDrive(c.choose);
        EXPECT_TRUE(test_->boxes().allShown());
        EXPECT_EQ(test_->boxes().shown().size() - before, c.boxes.size()) << "one box per drive, then it stops";
        EXPECT_EQ(form_->drive1Letter(), 'c') << "back on the program's drive";
        EXPECT_EQ(form_->dir1Path(), c.folder) << "the folder list keeps what it had";
    }
    // Called directly in that state, the handler stops after one round just the same.
    test_->boxes().expect(kNotAccessibleC, rt::kCriticalOk, rt::kResultOk);
    form_->Drive1_Change();
    EXPECT_EQ(form_->drive1Letter(), 'c');
}

TEST_F(FormTest, SettingTheDriveItAlreadyShowsRaisesNoChange) {
    reported_.clear();
    form_->setDrive1FromPath("C:\\prog");
    EXPECT_TRUE(reported_.empty());
    drives_.floppyInserted = true;
    form_->setDrive1FromPath("a:\\");
    EXPECT_EQ(std::count(reported_.begin(), reported_.end(), FormPart::Drive), 1);
    EXPECT_EQ(form_->dir1Path(), "A:\\");
    EXPECT_THROW(form_->setDrive1FromPath("Q:\\"), rt::RuntimeError);
    EXPECT_THROW(form_->setDrive1FromPath("\\daten"), rt::RuntimeError);
    EXPECT_EQ(form_->drive1Letter(), 'a');
}

TEST(FormStart, StartsOnTheWorkingDirectoryOrTheFirstReadableDrive) {
    // Started outside every drive of the map, the lists fall back to the first drive.
    testing_support::TestDrives drives;
    drives.floppyInserted = true;
    testing_support::TestRuntime test(drives.map(), drives.facts());
    SourceSelection source;
    Form1 form(test.runtime(), source);
    EXPECT_EQ(form.drive1Letter(), 'a');
    EXPECT_EQ(form.dir1Path(), "A:\\");
}

} // namespace
} // namespace form_tests
