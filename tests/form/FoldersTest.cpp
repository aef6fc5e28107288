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

// One after the other: a path without a drive counts from the open directory, "c:unten" from the
// drive's current directory (the last one opened on it), which a designation alone opens. What
// cannot be read fails with the runtime's error, does not open when the user picks it, and
// leaves the list as it was.
TEST_F(FormTest, TheFolderListOpensEveryPathFormAndShowsTheChain) {
    const struct {
        const char* set;
        const char* expected;
        int error = 0;
    } cases[] = {
        {"C:\\ziel\\unten", "C:\\ziel\\unten"},
        {"..", "C:\\ziel"},
        {"unten", "C:\\ziel\\unten"},
        {"c:\\ziel\\", "C:\\ziel"},
        {"C:\\", "C:\\"},
        {"C:\\daten\\..\\ziel\\.", "C:\\ziel"},
        {"c:unten", "C:\\ziel\\unten"},
        {"c: [c]", "C:\\ziel\\unten"},
        {"C:\\ziel", "C:\\ziel"},
        {"c:", "C:\\ziel"},
        {"a:", "C:\\ziel", rt::kDiskNotReady},
        {"A:\\", "C:\\ziel", rt::kDiskNotReady},
        {"Q:\\", "C:\\ziel", rt::kDiskNotReady},
        {"C:\\fehlt", "C:\\ziel", rt::kPathNotFound},
        {"C:\\prog\\QUIL.SYS", "C:\\ziel", rt::kPathNotFound},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(testing_support::errorOf([&] { form_->setDir1Path(c.set); }), c.error) << c.set;
        if (c.error != 0) {
            EXPECT_FALSE(form_->openFolder(c.set)) << c.set;
        }
        EXPECT_EQ(form_->dir1Path(), c.expected) << c.set;
    }
    // The list shows the chain down to the open folder and its subfolders, not its siblings; a
    // closed folder is marked "+" here.
    std::vector<std::string> lines;
    for (const FolderList::Entry& entry : form_->dir1().entries()) {
        lines.push_back(std::string(static_cast<std::size_t>(entry.depth), ' ') + entry.caption +
                        (entry.kind == FolderList::EntryKind::Open ? "" : "+"));
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"C:\\", " ziel", "  unten+"}));
    EXPECT_EQ(form_->dir1().entries()[2].path, "C:\\ziel\\unten");
    EXPECT_EQ(shown_.back(), ControlId::Dir1) << "the face learns of the last change";
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
}

// Choosing a drive moves the folder list to that drive's current directory. Drive1_Change's
// recovery from one that cannot be read: a box names it, then the list goes back to the program's
// drive; when that cannot be read either, one more box and the recursion stops.
TEST_F(FormTest, ChoosingADriveMovesTheFolderListOrIsReportedAndUndone) {
    const struct {
        const char* what;
        bool startOnA; // the user stands on a: (with a disk) before it all goes
        bool programDriveReadable;
        int choose;
        std::vector<std::string> boxes;
        const char* folder; // what the folder list shows afterwards
    } cases[] = {
        {"back from a: to where c: was left", true, true, 1, {}, "C:\\daten"},
        {"a: without a disk", false, true, 0, {kNotAccessibleA}, "C:\\daten"},
        {"a: without a disk, c: gone too", false, false, 0, {kNotAccessibleA, kNotAccessibleC}, "C:\\daten"},
        // Choosing c: fails; the recovery sets the list to c:, which it already shows, so no
        // second change is raised, and the folder list keeps what it had.
        {"c: gone while on a:", true, false, 1, {kNotAccessibleC}, "A:\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        drives_.programDriveReadable = true;
        drives_.floppyInserted = c.startOnA;
        form_->chooseDrive(c.startOnA ? 0 : 1);
        drives_.floppyInserted = false;
        drives_.programDriveReadable = c.programDriveReadable;
        for (const std::string& box : c.boxes) {
            test_->boxes().expect(box, rt::kCriticalOk, rt::kResultOk);
        }
        form_->chooseDrive(c.choose);
        EXPECT_TRUE(test_->boxes().allShown());
        EXPECT_EQ(form_->drive1Letter(), 'c') << "on the program's drive";
        EXPECT_EQ(form_->dir1Path(), c.folder);
    }
    // Called directly in that state, the handler stops after one round just the same.
    test_->boxes().expect(kNotAccessibleC, rt::kCriticalOk, rt::kResultOk);
    form_->Drive1_Change();
    EXPECT_EQ(form_->drive1Letter(), 'c');
}

TEST_F(FormTest, SettingTheDriveItAlreadyShowsRaisesNoChange) {
    form_->setDrive1FromPath("C:\\prog");
    EXPECT_TRUE(shown_.empty());
    drives_.floppyInserted = true;
    form_->setDrive1FromPath("a:\\");
    EXPECT_EQ(std::ranges::count(shown_, ControlId::Drive1), 1);
    EXPECT_EQ(form_->dir1Path(), "A:\\");
    EXPECT_THROW(form_->setDrive1FromPath("Q:\\"), rt::RuntimeError);
    EXPECT_THROW(form_->setDrive1FromPath("\\daten"), rt::RuntimeError);
    EXPECT_EQ(form_->drive1Letter(), 'a');
}

} // namespace
} // namespace form_tests
