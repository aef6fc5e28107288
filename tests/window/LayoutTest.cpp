// The window as the user meets it: frame, places of the controls, tab order, focus, the keys
// Enter, Escape and the access keys.
#include "WindowFixture.h"
#include "support/PinnedLayout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <vector>

namespace window_tests {
namespace {

using testing_support::kPinnedPlaces;
using testing_support::PinnedPlace;

int px(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

TEST_F(WindowTest, ClientAreaAndFrame) {
    const int dpiX = window_->logicalDpiX();
    const int dpiY = window_->logicalDpiY();
    EXPECT_EQ(window_->size(),
              QSize(px(testing_support::kPinnedClientWidth, dpiX), px(testing_support::kPinnedClientHeight, dpiY)));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize()) << "the user cannot resize the window";
    const Qt::WindowFlags flags = window_->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window_->windowIcon().isNull());
    const QRect screen = window_->screen()->availableGeometry();
    EXPECT_LE(std::abs(window_->geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(window_->geometry().center().y() - screen.center().y()), 1);
}

TEST_F(WindowTest, EveryControlStandsAtItsPlace) {
    const int dpiX = window_->logicalDpiX();
    const int dpiY = window_->logicalDpiY();
    for (const PinnedPlace& place : kPinnedPlaces) {
        SCOPED_TRACE(place.name);
        QWidget* widget = control<QWidget>(place.name);
        ASSERT_NE(widget, nullptr);
        const QRect actual = widget->geometry();
        const QString name = widget->objectName();
        const bool isTip = name.startsWith(QStringLiteral("Tip("));
        if (name == QStringLiteral("Label1")) {
            // One line that fits its text and leads up to the number box.
            EXPECT_NEAR(actual.y(), px(place.top, dpiY), 1);
            EXPECT_GE(actual.width(), widget->sizeHint().width());
            EXPECT_LE(actual.right(), control<QWidget>("ZahlText")->x());
            EXPECT_GT(actual.x(), window_->chk(0)->x() + window_->chk(0)->sizeHint().width());
            continue;
        }
        EXPECT_NEAR(actual.x(), px(place.left, dpiX), 1);
        EXPECT_NEAR(actual.y(), px(place.top, dpiY), 1);
        if (!isTip) {
            EXPECT_NEAR(actual.height(), px(place.height, dpiY), 1);
        }
        const int right = place.growsUpTo;
        if (right >= 0) {
            EXPECT_GE(actual.width(), px(place.width, dpiX) - 1);
            EXPECT_LE(actual.right(), px(right, dpiX));
            if (!isTip && name != QStringLiteral("UnitList")) {
                EXPECT_GE(actual.width(), widget->sizeHint().width()) << "caption cut";
            }
        } else {
            EXPECT_NEAR(actual.width(), px(place.width, dpiX), 1);
        }
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            const QString caption = button->text().remove(u'&');
            EXPECT_LE(button->fontMetrics().horizontalAdvance(caption) + 4, actual.width()) << "caption cut";
        }
    }
}

TEST_F(WindowTest, TheUnitListShowsItsEntriesWhole) {
    form_->unitListAddItem("Kbyte");
    form_->unitListAddItem("Mbyte");
    QComboBox* list = window_->unitList();
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    EXPECT_LE(list->fontMetrics().horizontalAdvance(QStringLiteral("Kbyte")), field.width());
    EXPECT_LE(list->fontMetrics().horizontalAdvance(QStringLiteral("Mbyte")), field.width());
    EXPECT_LE(list->geometry().right(), px(6285, window_->logicalDpiX()));
}

// The balls are the program's own pictures, made 16 screen pixels from twips; the window's icon
// offers every size.
TEST_F(WindowTest, ImagesAreTheProgramsPicturesSixteenScreenPixelsFromTwips) {
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/splitwerk/ball.ico")));
    for (int i = 0; i < 5; ++i) {
        float sixteen = 16.0F;
        form_->setImage1Width(i, form_->pixelsToTwipsX(sixteen));
        form_->setImage1Height(i, form_->pixelsToTwipsY(sixteen));
        EXPECT_EQ(window_->image1(i)->size(), QSize(16, 16)) << i;
        EXPECT_TRUE(window_->image1(i)->hasScaledContents());
        EXPECT_EQ(window_->image1(i)->pixmap().size(), QSize(16, 16)) << i;
    }
    const QList<QSize> sizes = window_->windowIcon().availableSizes();
    for (const QSize size : {QSize(16, 16), QSize(32, 32), QSize(48, 48)}) {
        EXPECT_TRUE(sizes.contains(size)) << size.width();
    }
}

TEST_F(WindowTest, OverlappingQuestionsStayReadable) {
    // In the design Tip(2)'s box reaches into Tip(4)'s; neither text may be hidden.
    QLabel* upper = window_->tip(2);
    QLabel* lower = window_->tip(4);
    EXPECT_FALSE(upper->autoFillBackground());
    EXPECT_FALSE(lower->autoFillBackground());
    EXPECT_LE(upper->y() + upper->heightForWidth(upper->width()), lower->y());
    EXPECT_FALSE(upper->geometry().intersects(lower->geometry()));
    // Every question ends above the bar below its row.
    const std::pair<int, const char*> rows[] = {{1, "Frame2(1)"}, {2, "Frame2(3)"}, {4, "Frame2(2)"}};
    for (const auto& [index, bar] : rows) {
        EXPECT_LE(window_->tip(index)->geometry().bottom(), control<QWidget>(bar)->y()) << "Tip(" << index << ")";
    }
    for (int i = 1; i < 5; ++i) {
        QLabel* tip = window_->tip(i);
        EXPECT_LE(tip->heightForWidth(tip->width()), tip->height()) << "Tip(" << i << ") cut";
    }
}

TEST_F(WindowTest, TheLongestEstimateSentenceFits) {
    const std::string name36 = "Kapitel_1_bis_6_mit_Anhang_A_bis_Z_1";
    form_->setTipCaption(0, "Sie haben die Datei '" + name36 +
                                " ...' zur Sicherung mit Splitwerk 99 ausgewählt. Dafür benötigen Sie ungefähr "
                                "1474 Disketten mit einer Kapazität von 1,44 MByte.");
    QLabel* tip = window_->tip(0);
    EXPECT_LE(tip->heightForWidth(tip->width()), tip->height());
    const QWidget* bar = window_->control(form::ControlId::Frame2_0);
    EXPECT_LE(tip->y() + tip->height(), bar->y() + bar->height() / 2 + 1);
}

std::vector<QString> tabWalk(QWidget* window, int steps) {
    std::vector<QString> visited;
    for (int i = 0; i < steps; ++i) {
        QWidget* focused = QApplication::focusWidget();
        visited.push_back(focused != nullptr ? focused->objectName() : QStringLiteral("<none>"));
        QTest::keyClick(focused != nullptr ? focused : window, Qt::Key_Tab);
    }
    return visited;
}

std::vector<QString> names(std::initializer_list<const char*> list) {
    std::vector<QString> out;
    for (const char* name : list) {
        out.push_back(QString::fromUtf8(name));
    }
    return out;
}

TEST_F(WindowTest, TabOrderFollowsTheTableAndPassesOverHiddenAndDisabled) {
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    EXPECT_EQ(QApplication::focusWidget(), window_->command1(0)) << "OK holds the focus when the window opens";

    // Design state: everything visible. As in every option group, Tab stops only at the
    // selected option button.
    EXPECT_EQ(tabWalk(window_.get(), 13),
              names({"Command1(0)", "Command1(2)", "Command1(1)", "Opt(0)", "Chk(0)", "Chk(1)", "Drive1", "Dir1",
                     "Chk(2)", "ZahlText", "UnitList", "Command1(0)", "Command1(2)"}));
    window_->opt(1)->click();
    window_->command1(0)->setFocus();
    EXPECT_EQ(tabWalk(window_.get(), 6),
              names({"Command1(0)", "Command1(2)", "Command1(1)", "Chk(0)", "Opt(1)", "Chk(1)"}));

    // Start state: the size row and the lists hidden, Chk(2) disabled for good measure.
    form_->Opt_Click(0);
    form_->setLabel1Visible(false);
    form_->setZahlTextVisible(false);
    form_->setUnitListVisible(false);
    window_->chk(2)->setEnabled(false);
    window_->opt(0)->click();
    window_->command1(0)->setFocus();
    EXPECT_EQ(tabWalk(window_.get(), 7),
              names({"Command1(0)", "Command1(2)", "Command1(1)", "Opt(0)", "Chk(0)", "Chk(1)", "Command1(0)"}));
}

// Keeps the window's own handlers off the buttons, so that a key can be seen pressing a
// button without starting the run or ending the test program; then shows the window active.
bool showWatchingButtonsOnly(QtForm1Window& form, std::vector<int>& pressed) {
    for (int i = 0; i < 3; ++i) {
        QObject::disconnect(form.command1(i), &QPushButton::clicked, &form, nullptr);
        QObject::connect(form.command1(i), &QPushButton::clicked, &form, [&pressed, i] { pressed.push_back(i); });
    }
    form.show();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}

TEST_F(WindowTest, EnterPressesTheFocusedButtonEscapeNothing) {
    std::vector<int> pressed;
    ASSERT_TRUE(showWatchingButtonsOnly(*window_, pressed));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(pressed.empty());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(pressed, std::vector<int>{0}) << "Enter at start presses OK";

    window_->command1(2)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_EQ(pressed, (std::vector<int>{0, 2}));

    // No button is the default: Enter in a check box presses nothing.
    window_->chk(1)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(pressed, (std::vector<int>{0, 2}));
    EXPECT_FALSE(window_->command1(0)->isDefault());
}

TEST_F(WindowTest, AccessKeysActLikeClicks) {
    std::vector<int> pressed;
    ASSERT_TRUE(showWatchingButtonsOnly(*window_, pressed));

    // An access key clicks by animation: down now, the click when a timer fires. A fixed wait lost
    // that race on a busy machine; this one lasts until no button is down.
    const QList<QAbstractButton*> buttons = window_->findChildren<QAbstractButton*>();
    auto alt = [&](char key) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        const bool settled = QTest::qWaitFor(
            [&] { return std::none_of(buttons.begin(), buttons.end(), [](auto* button) { return button->isDown(); }); },
            10000);
        ASSERT_TRUE(settled) << "the animated click of Alt+" << key << " never ended";
    };
    alt('j');
    EXPECT_EQ(form_->chkValue(0), 1);
    EXPECT_TRUE(window_->zahlTextBox()->isVisible()) << "the access key runs the click handler";
    alt('j');
    EXPECT_EQ(form_->chkValue(0), 0);
    alt('r');
    EXPECT_EQ(form_->chkValue(1), 1);
    alt('l');
    EXPECT_EQ(form_->chkValue(2), 1);
    alt('z');
    EXPECT_TRUE(form_->optValue(1));
    alt('d');
    EXPECT_TRUE(form_->optValue(0));
    EXPECT_FALSE(form_->optValue(1));
    alt('o');
    alt('a');
    alt('i');
    EXPECT_EQ(pressed, (std::vector<int>{0, 1, 2}));

    window_->command1(0)->setEnabled(false);
    alt('o');
    EXPECT_EQ(pressed, (std::vector<int>{0, 1, 2})) << "a disabled button ignores its access key";
}

} // namespace
} // namespace window_tests
