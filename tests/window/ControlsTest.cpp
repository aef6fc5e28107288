// The window's controls as the program's logic sees them: kinds, containers, design texts,
// and the option rows that show and hide their answers.
#include "WindowFixture.h"
#include "window/qt/DirList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
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
    {"Dir1", "DirList", true, nullptr},
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
    EXPECT_EQ(form_->windowTitle(), QString::fromUtf8("Splitwerk für Windows"));
    auto* frame1 = control<QGroupBox>("Frame1(1)");
    ASSERT_NE(frame1, nullptr);
    for (const Definition& definition : kDefinitions) {
        SCOPED_TRACE(definition.name);
        auto* widget = control<QWidget>(definition.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(definition.kind)) << widget->metaObject()->className();
        EXPECT_EQ(widget->parentWidget(), definition.inFrame1 ? static_cast<QWidget*>(frame1) : form_.get());
        if (definition.designText != nullptr) {
            EXPECT_EQ(designText(widget), QString::fromUtf8(definition.designText));
        }
        EXPECT_TRUE(widget->isEnabled());
        EXPECT_FALSE(widget->isHidden()) << "every control is visible at design time";
    }
    // Nothing beyond the table: every named control of the window is one of the 29.
    int named = 0;
    for (QWidget* child : form_->findChildren<QWidget*>()) {
        if (child->objectName().contains(u'(') || child->objectName() == QStringLiteral("UnitList") ||
            child->objectName() == QStringLiteral("ZahlText") || child->objectName() == QStringLiteral("Dir1") ||
            child->objectName() == QStringLiteral("Drive1") || child->objectName() == QStringLiteral("Label1") ||
            child->objectName() == QStringLiteral("pbar")) {
            ++named;
        }
    }
    EXPECT_EQ(named, 29);
}

TEST_F(WindowTest, DesignValuesOfTheInputs) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(form_->chk(i)->isChecked()) << i;
        EXPECT_EQ(model_->chkValue(i), 0) << i;
    }
    EXPECT_TRUE(model_->optValue(0));
    EXPECT_FALSE(model_->optValue(1));
    EXPECT_EQ(form_->unitList()->count(), 0);
    EXPECT_EQ(model_->unitListIndex(), -1);
    EXPECT_EQ(model_->zahlText(), "Text1");
    EXPECT_EQ(form_->pbar()->minimum(), 0);
    EXPECT_EQ(form_->pbar()->maximum(), 100);
    EXPECT_EQ(model_->CopyRunning, 0);
    // The window starts where the program was started: C:\daten.
    EXPECT_EQ(model_->drive1Letter(), 'c');
    EXPECT_EQ(model_->dir1Path(), "C:\\daten");
    for (const char* name : {"Frame2(0)", "Frame2(1)", "Frame2(2)", "Frame2(3)"}) {
        auto* bar = control<QFrame>(name);
        EXPECT_EQ(bar->frameShape(), QFrame::HLine) << name;
        EXPECT_TRUE(bar->children().isEmpty()) << name << " contains no controls";
    }
}

struct VisibilityCase {
    const char* what;
    std::function<void(Form1Window&)> act;
    bool label1ZahlUnitShown;
    bool driveDirShown;
};

TEST_F(WindowTest, OptionHandlersShowAndHideTheirAnswers) {
    const VisibilityCase cases[] = {
        {"tick Chk(0)", [](Form1Window& f) { f.chk(0)->click(); }, true, true},
        {"clear Chk(0)", [](Form1Window& f) { f.chk(0)->click(); }, false, true},
        {"tick Chk(0) by program", [](Form1Window& f) { f.form().setChkValue(0, 1); }, true, true},
        {"tick Chk(1)", [](Form1Window& f) { f.chk(1)->click(); }, true, true},
        {"tick Chk(2)", [](Form1Window& f) { f.chk(2)->click(); }, true, true},
        {"clear Chk(1) and Chk(2)",
         [](Form1Window& f) {
             f.chk(1)->click();
             f.chk(2)->click();
         },
         true, true},
        {"select Opt(0)",
         [](Form1Window& f) {
             f.opt(1)->click();
             f.opt(0)->click();
         },
         true, false},
        {"select Opt(1)", [](Form1Window& f) { f.opt(1)->click(); }, true, true},
        {"Opt_Click(0) as the load handler calls it", [](Form1Window& f) { f.form().Opt_Click(0); }, true, false},
        {"clear Chk(0) by program", [](Form1Window& f) { f.form().setChkValue(0, 0); }, false, false},
    };
    form_->show();
    for (const VisibilityCase& step : cases) {
        SCOPED_TRACE(step.what);
        step.act(*form_);
        EXPECT_EQ(form_->label1()->isVisible(), step.label1ZahlUnitShown);
        EXPECT_EQ(form_->zahlTextBox()->isVisible(), step.label1ZahlUnitShown);
        EXPECT_EQ(form_->unitList()->isVisible(), step.label1ZahlUnitShown);
        EXPECT_EQ(form_->drive1()->isVisible(), step.driveDirShown);
        EXPECT_EQ(form_->dir1()->isVisible(), step.driveDirShown);
        EXPECT_NE(model_->optValue(0), model_->optValue(1)) << "exactly one option is selected";
    }
}

TEST_F(WindowTest, ChkClickReadsTheBoxWhenItRuns) {
    model_->Chk_Click(0); // the box is clear: the size row goes
    EXPECT_FALSE(model_->visible(Control::Label1));
    model_->setChkValue(0, 1);
    model_->setLabel1Visible(false);
    model_->Chk_Click(1);
    model_->Chk_Click(2);
    EXPECT_FALSE(model_->visible(Control::Label1)) << "other indices change nothing, whatever the boxes hold";
    model_->Chk_Click(0);
    for (Control shown : {Control::Label1, Control::ZahlText, Control::UnitList}) {
        EXPECT_TRUE(model_->visible(shown));
    }
}

TEST_F(WindowTest, ZahlTextTakesFiveCharactersOfAnyKind) {
    form_->show();
    QLineEdit* box = form_->zahlTextBox();
    box->clear();
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("12a4x9"));
    EXPECT_EQ(model_->zahlText(), "12a4x");
}

TEST_F(WindowTest, UnitListOffersOnlyItsEntries) {
    model_->unitListAddItem("Kbyte");
    model_->unitListAddItem("Mbyte");
    model_->setUnitListIndex(0);
    form_->show();
    QComboBox* list = form_->unitList();
    EXPECT_FALSE(list->isEditable());
    EXPECT_EQ(list->lineEdit(), nullptr);
    list->setFocus();
    QTest::keyClicks(list, QStringLiteral("Gbyte"));
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), QStringLiteral("Kbyte"));
    EXPECT_EQ(list->itemText(1), QStringLiteral("Mbyte"));
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(model_->unitListIndex(), 1);
}

TEST_F(WindowTest, ProgressBarCutsThePercentageSoItNeverShows100WhileTheRunGoesOn) {
    const std::pair<float, int> cases[] = {{0.0F, 0},   {12.4F, 12},  {12.6F, 12},
                                           {99.5F, 99}, {99.99F, 99}, {100.0F, 100}};
    for (const auto& [percent, shown] : cases) {
        model_->setPbarValue(percent);
        EXPECT_EQ(form_->pbar()->value(), shown) << percent;
    }
}

TEST_F(WindowTest, LabelsShowFileNamesAsTheyAre) {
    model_->setTipCaption(0, "Sie haben die Datei '<b>A&B</b>.zip' zur Sicherung");
    EXPECT_EQ(form_->tip(0)->textFormat(), Qt::PlainText);
    EXPECT_EQ(form_->tip(0)->text(), QStringLiteral("Sie haben die Datei '<b>A&B</b>.zip' zur Sicherung"));
}

} // namespace
} // namespace window_tests
