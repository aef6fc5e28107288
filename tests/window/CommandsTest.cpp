// The three buttons and the close box, with scripted dialogs and an end that throws, so each
// handler is called directly and the end of the program is caught at the test's edge.
#include "WindowFixture.h"
#include "support/Outcomes.h"
#include "form/InfoBox.h"
#include "window/qt/DirList.h"

#include <QComboBox>
#include <QEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <vector>

namespace window_tests {
namespace {

const char* kConfirm = "Wollen Sie den Vorgang wirklich abbrechen?";
const char* kFinished = "Die Kopie ist fertig!";
const char* kTagline = "Transport großer Dateien auf Floppy und anderen Wechseldatenträgern leicht gemacht ...";

using testing_support::endStatusOf;

TEST_F(WindowTest, AbbrechenBeforeTheRunEndsWithoutAQuestion) {
    EXPECT_EQ(endStatusOf([&] { model_->Command1_Click(1); }), 0);
    EXPECT_TRUE(test_->boxes().shown().empty());
}

TEST_F(WindowTest, CloseBoxBeforeTheRunEndsLikeAbbrechen) {
    EXPECT_EQ(endStatusOf([&] { model_->Form_QueryUnload(); }), 0);
    EXPECT_TRUE(test_->boxes().shown().empty());
}

TEST_F(WindowTest, AbbrechenDuringTheRunAsksFirst) {
    model_->CopyRunning = -1; // as while the run yields
    test_->boxes().expect(kConfirm, rt::kQuestionYesNoDefaultNo, rt::kResultNo);
    model_->Command1_Click(1);
    EXPECT_TRUE(test_->boxes().allShown());

    test_->boxes().expect(kConfirm, rt::kQuestionYesNoDefaultNo, rt::kResultYes);
    EXPECT_EQ(endStatusOf([&] { model_->Command1_Click(1); }), 0);
}

TEST_F(WindowTest, CloseBoxDuringTheRunAnsweredNoKeepsTheWindow) {
    form_->show();
    model_->CopyRunning = -1;
    test_->boxes().expect(kConfirm, rt::kQuestionYesNoDefaultNo, rt::kResultNo);
    EXPECT_FALSE(form_->close());
    EXPECT_TRUE(form_->isVisible());

    test_->boxes().expect(kConfirm, rt::kQuestionYesNoDefaultNo, rt::kResultYes);
    EXPECT_EQ(endStatusOf([&] { model_->Form_QueryUnload(); }), 0);
}

TEST_F(WindowTest, InfoShowsTheInfoBoxAndChangesNothing) {
    test_->boxes().expect(AAA::InfoText(kTagline), rt::kInfoOk, rt::kResultOk);
    model_->Command1_Click(2);
    EXPECT_TRUE(test_->boxes().allShown());
    EXPECT_EQ(model_->CopyRunning, 0);
    EXPECT_TRUE(form_->command1(0)->isEnabled());
}

TEST(InfoText, TaglineEmptyLineParagraphsAndTheGoodbye) {
    const std::string tagline = kTagline;
    const std::string text = AAA::InfoText(tagline);
    ASSERT_EQ(text.rfind(tagline + "\r\r", 0), 0U) << "tagline on the first line, then an empty line";
    EXPECT_EQ(text.find('\n'), std::string::npos) << "lone CRs only";
    EXPECT_EQ(text.find("\r\r\r"), std::string::npos);

    std::vector<std::string> paragraphs;
    std::size_t start = tagline.size() + 2;
    for (;;) {
        const std::size_t gap = text.find("\r\r", start);
        paragraphs.push_back(text.substr(start, gap == std::string::npos ? std::string::npos : gap - start));
        if (gap == std::string::npos) {
            break;
        }
        start = gap + 2;
    }
    ASSERT_GE(paragraphs.size(), 4U);
    ASSERT_LE(paragraphs.size(), 6U);
    EXPECT_EQ(paragraphs.back(), "Bis bald ... ");
    for (const std::string& paragraph : paragraphs) {
        EXPECT_FALSE(paragraph.empty());
    }
    EXPECT_NE(text.find("Senden an"), std::string::npos);
    EXPECT_NE(text.find("QUIL.EXE"), std::string::npos);
}

// Records the order in which controls are disabled.
class DisableOrder : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && !static_cast<QWidget*>(watched)->isEnabled()) {
            order.push_back(watched->objectName());
        }
        return false;
    }
    std::vector<QString> order;
};

TEST_F(WindowTest, OkDisablesTheInputsRunsTheCopyOnceAndEnds) {
    const std::string bytes = testing_support::randomBytes(300000, 7);
    drives_.write("c/daten/quelle.bin", bytes);
    source_.SourcePath = "C:\\daten\\quelle.bin";
    source_.SourceFolder = "C:\\daten\\";
    source_.SourceName = "quelle.bin";
    form_->opt(1)->click();
    model_->setDir1Path("C:\\ziel");

    DisableOrder watcher;
    const char* ten[] = {"Command1(0)", "Drive1", "Dir1",   "ZahlText", "UnitList",
                         "Chk(0)",      "Chk(1)", "Chk(2)", "Opt(0)",   "Opt(1)"};
    for (const char* name : ten) {
        control<QWidget>(name)->installEventFilter(&watcher);
    }

    bool checkedAtFirstYield = false;
    test_->events().onYield([&](int count) {
        if (count != 1) {
            return;
        }
        checkedAtFirstYield = true;
        EXPECT_EQ(model_->CopyRunning, -1);
        std::vector<QString> expected;
        for (const char* name : ten) {
            expected.push_back(QString::fromUtf8(name));
        }
        EXPECT_EQ(watcher.order, expected) << "disabled in this order, before the first yield";
        EXPECT_TRUE(form_->command1(1)->isEnabled());
        EXPECT_TRUE(form_->command1(2)->isEnabled());
        EXPECT_FALSE(form_->drive1()->isHidden()) << "visibility is not touched";
        // A second OK while the run yields does nothing.
        model_->Command1_Click(0);
    });
    test_->boxes().expect(kFinished, rt::kInfoOk, rt::kResultOk);

    EXPECT_EQ(endStatusOf([&] { model_->Command1_Click(0); }), 0);
    EXPECT_TRUE(checkedAtFirstYield);
    EXPECT_EQ(test_->boxes().shown().size(), 1U) << "one run, one completion message";
    const std::filesystem::path target = std::filesystem::path(drives_.cRoot) / "ziel";
    EXPECT_EQ(testing_support::readFile(target / "QUILME01.sys"), bytes);
    EXPECT_TRUE(std::filesystem::exists(target / "QUIL.EXE"));
    EXPECT_EQ(form_->pbar()->value(), 0);
}

TEST_F(WindowTest, AnUnhandledErrorInTheRunIsReportedNotThrownIntoTheWindow) {
    // A maximum part size beyond 32 bits is an overflow nobody handles.
    drives_.write("c/daten/quelle.bin", "abc");
    source_.SourcePath = "C:\\daten\\quelle.bin";
    source_.SourceFolder = "C:\\daten\\";
    source_.SourceName = "quelle.bin";
    form_->opt(1)->click();
    model_->setDir1Path("C:\\ziel");
    model_->unitListAddItem("Kbyte");
    model_->unitListAddItem("Mbyte");
    model_->setUnitListIndex(1);
    model_->setChkValue(0, 1);
    model_->setZahlText("99999");
    test_->boxes().expect("Laufzeitfehler '6':\r\rÜberlauf", rt::kCriticalOk, rt::kResultOk);
    EXPECT_NE(endStatusOf([&] { model_->Command1_Click(0); }), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(drives_.cRoot) / "ziel" / "QUILME01.sys"));
}

} // namespace
} // namespace window_tests
