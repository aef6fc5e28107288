// The drive and directory lists: opening directories, and keeping the lists on a readable
// drive when the user picks one that is not.
#include "WindowFixture.h"
#include "window/qt/DirList.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTreeWidget>

namespace window_tests {
namespace {

const char* kNotAccessibleA = "Auf Laufwerk A: kann nicht zugegriffen werden!";
const char* kNotAccessibleC = "Auf Laufwerk C: [C] kann nicht zugegriffen werden!";

QTreeWidgetItem* itemNamed(QTreeWidget* list, const QString& text) {
    const QList<QTreeWidgetItem*> found = list->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

void clickItem(QTreeWidget* list, QTreeWidgetItem* item, bool twice) {
    const QPoint centre = list->visualItemRect(item).center();
    if (twice) {
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    } else {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    }
}

TEST_F(WindowTest, DriveListOffersTheMapsDrivesInLowerCase) {
    QComboBox* drives = form_->drive1();
    ASSERT_EQ(drives->count(), 2);
    EXPECT_EQ(drives->itemText(0), QStringLiteral("a:"));
    EXPECT_EQ(drives->itemText(1), QStringLiteral("c: [c]"));
    EXPECT_EQ(model_->drive1(), "c: [c]");
}

TEST_F(WindowTest, DirListShowsThePathChainAndTheSubfolders) {
    model_->setDir1Path("C:\\ziel");
    EXPECT_EQ(model_->dir1Path(), "C:\\ziel");
    QTreeWidget* list = form_->dir1();
    EXPECT_NE(itemNamed(list, QStringLiteral("C:\\")), nullptr);
    EXPECT_NE(itemNamed(list, QStringLiteral("ziel")), nullptr);
    EXPECT_NE(itemNamed(list, QStringLiteral("unten")), nullptr);
    EXPECT_EQ(itemNamed(list, QStringLiteral("daten")), nullptr) << "siblings of the open folder are not listed";
    EXPECT_EQ(list->currentItem(), itemNamed(list, QStringLiteral("ziel")));
}

TEST_F(WindowTest, DirListPathForms) {
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
        model_->setDir1Path(step.set);
        EXPECT_EQ(model_->dir1Path(), step.expected) << step.set;
    }
}

TEST_F(WindowTest, DirListRefusesWhatCannotBeRead) {
    model_->setDir1Path("C:\\ziel");
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
        try {
            model_->setDir1Path(step.set);
            ADD_FAILURE() << step.set << " opened";
        } catch (const rt::RuntimeError& error) {
            EXPECT_EQ(error.number(), step.error) << step.set;
        }
        EXPECT_EQ(model_->dir1Path(), "C:\\ziel") << "a failed change leaves the list as it was";
    }
}

TEST_F(WindowTest, DirListOpensWhereALinkLeadsOnItsOwnDriveOnly) {
    const std::filesystem::path daten = std::filesystem::path(drives_.cRoot) / "daten";
    std::filesystem::create_directory_symlink(std::filesystem::path(drives_.cRoot) / "ziel", daten / "verweis");
    std::filesystem::create_directory_symlink(drives_.aRoot, daten / "diskette");
    std::filesystem::create_directory(daten / "a\\b");
    drives_.floppyInserted = true;
    model_->setDir1Path("C:\\daten");
    EXPECT_EQ(itemNamed(form_->dir1(), QStringLiteral("a\\b")), nullptr) << "its drive-letter form names another";
    model_->setDir1Path("C:\\daten\\verweis\\unten");
    EXPECT_EQ(model_->dir1Path(), "C:\\ziel\\unten");
    // The run would refuse a target on another drive: the list does not open it.
    EXPECT_THROW(model_->setDir1Path("C:\\daten\\diskette"), rt::RuntimeError);
    EXPECT_EQ(model_->dir1Path(), "C:\\ziel\\unten");
}

TEST_F(WindowTest, DirListSingleClickHighlightsDoubleClickOpens) {
    model_->Opt_Click(1);
    form_->show();
    model_->setDir1Path("C:\\ziel");
    QTreeWidget* list = form_->dir1();
    QTreeWidgetItem* below = itemNamed(list, QStringLiteral("unten"));
    ASSERT_NE(below, nullptr);
    list->scrollToItem(below);

    clickItem(list, below, false);
    EXPECT_EQ(list->currentItem(), below);
    EXPECT_EQ(model_->dir1Path(), "C:\\ziel") << "a single click leaves the target as it was";

    clickItem(list, below, true);
    QApplication::processEvents(); // the list opens the folder once the click is handled
    EXPECT_EQ(model_->dir1Path(), "C:\\ziel\\unten");

    QTreeWidgetItem* root = itemNamed(list, QStringLiteral("C:\\"));
    list->scrollToItem(root);
    clickItem(list, root, false);
    EXPECT_EQ(model_->dir1Path(), "C:\\ziel\\unten");
    clickItem(list, root, true);
    QApplication::processEvents();
    EXPECT_EQ(model_->dir1Path(), "C:\\");

    // Enter opens the highlighted entry as well.
    QTreeWidgetItem* ziel = itemNamed(list, QStringLiteral("ziel"));
    list->setCurrentItem(ziel);
    EXPECT_EQ(model_->dir1Path(), "C:\\");
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(model_->dir1Path(), "C:\\ziel");
}

TEST_F(WindowTest, ChoosingAReadableDriveMovesTheDirectoryList) {
    drives_.floppyInserted = true;
    form_->drive1()->setCurrentIndex(0); // as the user's choice
    EXPECT_EQ(model_->dir1Path(), "A:\\");
    form_->drive1()->setCurrentIndex(1);
    EXPECT_EQ(model_->dir1Path(), "C:\\daten") << "each drive keeps its current directory";
}

TEST_F(WindowTest, UnreadableDriveIsReportedAndUndone) {
    test_->boxes().expect(kNotAccessibleA, rt::kCriticalOk, rt::kResultOk);
    form_->drive1()->setCurrentIndex(0); // a: without a disk
    EXPECT_TRUE(test_->boxes().allShown());
    EXPECT_EQ(model_->drive1Letter(), 'c') << "back on the program's drive";
    EXPECT_EQ(model_->dir1Path(), "C:\\daten");
}

TEST_F(WindowTest, UnreadableProgramDriveEndsTheRecoveryAfterOneRound) {
    // The user stands on a:, the program lives on c:, and neither can be read.
    drives_.floppyInserted = true;
    form_->drive1()->setCurrentIndex(0);
    ASSERT_EQ(model_->dir1Path(), "A:\\");
    drives_.floppyInserted = false;
    drives_.programDriveReadable = false;
    test_->boxes()
        .expect(kNotAccessibleC, rt::kCriticalOk, rt::kResultOk)
        .expect(kNotAccessibleC, rt::kCriticalOk, rt::kResultOk);
    // Choosing c: fails; the recovery sets the list to c:, which it already shows, so no
    // second change is raised. The first box comes from the change, the second from the
    // direct call below, which sees the same state and must stop just the same.
    form_->drive1()->setCurrentIndex(1);
    model_->Drive1_Change();
    EXPECT_EQ(test_->boxes().shown().size(), 2U);
    EXPECT_EQ(model_->drive1Letter(), 'c');
    EXPECT_EQ(model_->dir1Path(), "A:\\") << "the directory list keeps what it had";
}

TEST_F(WindowTest, UnreadableDriveWithTheProgramDriveGoneToo) {
    drives_.programDriveReadable = false;
    test_->boxes()
        .expect(kNotAccessibleA, rt::kCriticalOk, rt::kResultOk)
        .expect(kNotAccessibleC, rt::kCriticalOk, rt::kResultOk);
    form_->drive1()->setCurrentIndex(0);
    EXPECT_EQ(model_->drive1Letter(), 'c');
    EXPECT_EQ(test_->boxes().shown().size(), 2U) << "one box per drive, then the recursion stops";
}

TEST_F(WindowTest, SettingTheDriveItAlreadyShowsRaisesNoChange) {
    int changes = 0;
    model_->setObserver([&changes](FormPart part, int) { changes += part == FormPart::Drive ? 1 : 0; });
    model_->setDrive1FromPath("C:\\prog");
    EXPECT_EQ(changes, 0);
    drives_.floppyInserted = true;
    model_->setDrive1FromPath("a:\\");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(model_->dir1Path(), "A:\\");
    EXPECT_THROW(model_->setDrive1FromPath("Q:\\"), rt::RuntimeError);
    EXPECT_THROW(model_->setDrive1FromPath("\\daten"), rt::RuntimeError);
    EXPECT_EQ(model_->drive1Letter(), 'a');
}

TEST(WindowStart, StartsOnTheWorkingDirectoryOrTheFirstReadableDrive) {
    // Started outside every drive of the map, the lists fall back to the first drive.
    TestDrives drives;
    drives.floppyInserted = true;
    testing_support::TestRuntime test(drives.map(), drives.facts());
    SourceSelection source;
    Form1 form(test.runtime(), source);
    EXPECT_EQ(form.drive1Letter(), 'a');
    EXPECT_EQ(form.dir1Path(), "A:\\");

    // Started in "a\b" beside a folder a with b in it: never in that other folder.
    std::filesystem::create_directories(std::filesystem::path(drives.cRoot) / "a" / "b");
    std::filesystem::create_directories(std::filesystem::path(drives.cRoot) / "a\\b");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(drives.cRoot) / "a\\b");
    Form1 started(test.runtime(), source);
    std::filesystem::current_path(previous);
    EXPECT_EQ(started.dir1Path(), "A:\\");
}

} // namespace
} // namespace window_tests
