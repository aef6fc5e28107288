// The window's controls: kinds, containers, design texts, and what the clicks and keys reach.
#include "WindowFixture.h"
#include "window/qt/DirList.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>

namespace window_tests {
namespace {

struct Definition {
    const char* name;
    const char* kind; // Qt class that must back the control
    bool inFrame1;
    const char* designText; // caption or text; nullptr where the control has none
};

const Definition kDefinitions[] = {
    {"Frame1(1)", "QGroupBox", false, "Sicherungsoptionen"},
    {"UnitList", "QComboBox", true, nullptr},
    {"ZahlText", "QLineEdit", true, "Text1"},
    {"Chk(2)", "QCheckBox", true, "Ja, &löschen"},
    {"Frame2(3)", "QFrame", true, nullptr},
    {"Dir1", "qtface::DirList", true, nullptr},
    {"Drive1", "QComboBox", true, nullptr},
    {"Chk(1)", "QCheckBox", true, "Ja, Auto-&Run-Datei anlegen"},
    {"Frame2(2)", "QFrame", true, nullptr},
    {"Frame2(1)", "QFrame", true, nullptr},
    {"Opt(1)", "QRadioButton", true, "Anderes &Ziel festlegen ..."},
    {"Chk(0)", "QCheckBox", true, "&Ja"},
    {"Opt(0)", "QRadioButton", true, "Auf &Diskette in Laufwerk A:"},
    {"Frame2(0)", "QFrame", true, nullptr},
    {"Label1", "QLabel", true, "- und zwar auf "},
    {"Image1(4)", "QLabel", true, nullptr},
    {"Tip(4)", "QLabel", true, "Soll das (Haupt-)Verzeichnis des Ziels zuvor gelöscht werden?"},
    {"Tip(3)", "QLabel", true,
     "Soll das Archiv mit der AutoRun- Funktion versehen werden? (Muß vom Ziel-PC unterstützt werden)"},
    {"Image1(3)", "QLabel", true, nullptr},
    {"Image1(2)", "QLabel", true, nullptr},
    {"Tip(2)", "QLabel", true, "Möchten Sie die max. Größe der Teilarchive selbst festlegen?"},
    {"Tip(0)", "QLabel", true,
     "Sie haben die Datei \"Kapitel_1_bis_6.PAK\" zur Sicherung mit Splitwerk für Windows ausgewählt. Dafür "
     "benötigen Sie ungefähr 5 Disketten mit einer Kapazität von 1,44 MByte."},
    {"Tip(1)", "QLabel", true, "Wohin soll die Sicherung erfolgen?"},
    {"Image1(0)", "QLabel", true, nullptr},
    {"Image1(1)", "QLabel", true, nullptr},
    {"Command1(1)", "QPushButton", false, "&Abbrechen"},
    {"Command1(2)", "QPushButton", false, "&Info"},
    {"Command1(0)", "QPushButton", false, "&OK"},
    {"pbar", "QProgressBar", false, nullptr},
};

QString designText(QWidget* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        return edit->text();
    }
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        return group->title();
    }
    return {};
}

TEST_F(WindowTest, EveryControlHasItsKindContainerAndDesignText) {
    EXPECT_EQ(window_->windowTitle(), QString::fromUtf8("Splitwerk für Windows"));
    auto* frame1 = control<QGroupBox>("Frame1(1)");
    ASSERT_NE(frame1, nullptr);
    for (const Definition& definition : kDefinitions) {
        SCOPED_TRACE(definition.name);
        auto* widget = control<QWidget>(definition.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(definition.kind)) << widget->metaObject()->className();
        EXPECT_EQ(widget->parentWidget(), definition.inFrame1 ? static_cast<QWidget*>(frame1) : window_.get());
        if (definition.designText != nullptr) {
            EXPECT_EQ(designText(widget), QString::fromUtf8(definition.designText));
        }
        EXPECT_TRUE(widget->isEnabled());
        EXPECT_FALSE(widget->isHidden()) << "every control is visible at design time";
    }
    // Nothing beyond the table: every named control of the window is one of the 29.
    const QList<QWidget*> children = window_->findChildren<QWidget*>();
    EXPECT_EQ(std::ranges::count_if(
                  children, [](QWidget* c) { return form::controlNamed(c->objectName().toStdString()).has_value(); }),
              29);
}

struct VisibilityCase {
    const char* what;
    std::function<void(QtForm1Window&)> act;
    bool label1ZahlUnitShown;
    bool driveDirShown;
};

// The clicks reach the handlers and the window shows what they decide.
TEST_F(WindowTest, ClicksShowAndHideTheAnswers) {
    const VisibilityCase cases[] = {
        {"tick Chk(0)", [](QtForm1Window& f) { f.chk(0)->click(); }, true, true},
        {"select Opt(0)",
         [](QtForm1Window& f) {
             f.opt(1)->click();
             f.opt(0)->click();
         },
         true, false},
        {"clear Chk(0) by program", [](QtForm1Window& f) { f.form().setChkValue(0, 0); }, false, false},
        {"select Opt(1)", [](QtForm1Window& f) { f.opt(1)->click(); }, false, true},
    };
    window_->show();
    for (const VisibilityCase& step : cases) {
        SCOPED_TRACE(step.what);
        step.act(*window_);
        EXPECT_EQ(window_->label1()->isVisible(), step.label1ZahlUnitShown);
        EXPECT_EQ(window_->zahlTextBox()->isVisible(), step.label1ZahlUnitShown);
        EXPECT_EQ(window_->unitList()->isVisible(), step.label1ZahlUnitShown);
        EXPECT_EQ(window_->drive1()->isVisible(), step.driveDirShown);
        EXPECT_EQ(window_->dir1()->isVisible(), step.driveDirShown);
        EXPECT_NE(window_->opt(0)->isChecked(), window_->opt(1)->isChecked()) << "exactly one option is selected";
    }
}

// Set by code or by an accessibility tool (the calls AT-SPI reaches), the number, boxes, option
// and unit the window shows are what the form holds for the run. Each step goes on from the last.
TEST_F(WindowTest, EveryWayIntoAControlReachesTheForm) {
    form_->unitListAddItem("Kbyte");
    form_->unitListAddItem("Mbyte");
    const auto tool = [](QWidget* control) { return QAccessible::queryAccessibleInterface(control); };
    const auto toggle = [&](QWidget* c) {
        tool(c)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    };
    const std::pair<std::function<void()>, const char*> steps[] = {
        {[&] { window_->zahlTextBox()->setText(QStringLiteral("1234567")); }, "12345 0 0"}, // the five it shows
        {[&] { tool(window_->zahlTextBox())->setText(QAccessible::Value, QStringLiteral("250")); }, "250 0 0"},
        {[&] { tool(window_->zahlTextBox())->editableTextInterface()->insertText(2, QStringLiteral("8")); },
         "2580 0 0"},
        {[&] { window_->chk(0)->setChecked(true); }, "2580 100 0"},
        {[&] { toggle(window_->chk(2)); }, "2580 101 0"},
        {[&] { toggle(window_->opt(1)); }, "2580 101 10"},
        {[&] { window_->unitList()->setCurrentIndex(-1); }, "2580 101 10"}, // it offers only its entries
    };
    for (const auto& [set, expected] : steps) {
        set();
        const Form1& m = *form_;
        EXPECT_EQ(m.zahlText() + ' ' + std::to_string(m.chkValue(0) * 100 + m.chkValue(1) * 10 + m.chkValue(2)) + ' ' +
                      std::to_string(m.optValue(1) * 10 + m.unitListIndex()),
                  expected);
        EXPECT_EQ(window_->unitList()->currentIndex(), m.unitListIndex());
    }
}

TEST_F(WindowTest, UnitListOffersOnlyItsEntries) {
    form_->unitListAddItem("Kbyte");
    form_->unitListAddItem("Mbyte");
    form_->setUnitListIndex(0);
    window_->show();
    QComboBox* list = window_->unitList();
    EXPECT_FALSE(list->isEditable());
    EXPECT_EQ(list->lineEdit(), nullptr);
    list->setFocus();
    QTest::keyClicks(list, QStringLiteral("Gbyte"));
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), QStringLiteral("Kbyte"));
    EXPECT_EQ(list->itemText(1), QStringLiteral("Mbyte"));
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(form_->unitListIndex(), 1);
}

TEST_F(WindowTest, LabelsShowFileNamesAsTheyAre) {
    form_->setTipCaption(0, "Sie haben die Datei '<b>A&B</b>.zip' zur Sicherung");
    EXPECT_EQ(window_->tip(0)->textFormat(), Qt::PlainText);
    EXPECT_EQ(window_->tip(0)->text(), QStringLiteral("Sie haben die Datei '<b>A&B</b>.zip' zur Sicherung"));
}

} // namespace
} // namespace window_tests
