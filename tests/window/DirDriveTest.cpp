// The drive and directory lists on the screen: what they show, and what clicks, keys and a
// choice of drive reach.
#include "WindowFixture.h"
#include "window/qt/DirList.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTreeWidget>

namespace window_tests {
namespace {

const char* kNotAccessibleA = "Auf Laufwerk A: kann nicht zugegriffen werden!";

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

TEST_F(WindowTest, DirListSingleClickHighlightsDoubleClickOpens) {
    form_->Opt_Click(1);
    window_->show();
    form_->setDir1Path("C:\\ziel");
    QTreeWidget* list = window_->dir1();
    QTreeWidgetItem* below = itemNamed(list, QStringLiteral("unten"));
    ASSERT_NE(below, nullptr);
    list->scrollToItem(below);

    clickItem(list, below, false);
    EXPECT_EQ(list->currentItem(), below);
    EXPECT_EQ(form_->dir1Path(), "C:\\ziel") << "a single click leaves the target as it was";

    clickItem(list, below, true);
    QApplication::processEvents(); // the list opens the folder once the click is handled
    EXPECT_EQ(form_->dir1Path(), "C:\\ziel\\unten");

    QTreeWidgetItem* root = itemNamed(list, QStringLiteral("C:\\"));
    list->scrollToItem(root);
    clickItem(list, root, false);
    EXPECT_EQ(form_->dir1Path(), "C:\\ziel\\unten");
    clickItem(list, root, true);
    QApplication::processEvents();
    EXPECT_EQ(form_->dir1Path(), "C:\\");

    // Enter opens the highlighted entry as well.
    QTreeWidgetItem* ziel = itemNamed(list, QStringLiteral("ziel"));
    list->setCurrentItem(ziel);
    EXPECT_EQ(form_->dir1Path(), "C:\\");
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(form_->dir1Path(), "C:\\ziel");
}

// The drive list offers the form's drives; a drive the user picks that cannot be read is
// reported, and the list shows the program's drive again.
TEST_F(WindowTest, UnreadableDriveIsReportedAndTheListShowsTheProgramsDrive) {
    QComboBox* drives = window_->drive1();
    ASSERT_EQ(drives->count(), 2);
    EXPECT_EQ(drives->itemText(0), QStringLiteral("a:"));
    EXPECT_EQ(drives->itemText(1), QStringLiteral("c: [c]"));
    test_->boxes().expect(kNotAccessibleA, rt::kCriticalOk, rt::kResultOk);
    drives->setCurrentIndex(0); // a: without a disk
    EXPECT_EQ(drives->currentIndex(), 1);
    EXPECT_EQ(itemNamed(window_->dir1(), QStringLiteral("daten")), window_->dir1()->currentItem());
}

} // namespace
} // namespace window_tests
