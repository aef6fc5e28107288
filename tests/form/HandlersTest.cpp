// Form1's handlers without a window: the option rows that show and hide their answers, the
// three buttons and the close box, with scripted boxes and an end that throws.
#include "FormFixture.h"
#include "form/InfoBox.h"
#include "support/Outcomes.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace form_tests {
namespace {

const char* kConfirm = "Wollen Sie den Vorgang wirklich abbrechen?";
const char* kFinished = "Die Kopie ist fertig!";
const char* kTagline = "Transport großer Dateien auf Floppy und anderen Wechseldatenträgern leicht gemacht ...";

using testing_support::endStatusOf;

constexpr Control kInputs[] = {Control::Command1Ok, Control::Drive1, Control::Dir1, Control::ZahlText,
                               Control::UnitList,   Control::Chk0,   Control::Chk1, Control::Chk2,
                               Control::Opt0,       Control::Opt1};

TEST_F(FormTest, DesignState) {
    EXPECT_EQ(form_->caption(), "Splitwerk für Windows");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form_->chkValue(i), 0) << i;
    }
    EXPECT_TRUE(form_->optValue(0));
    EXPECT_FALSE(form_->optValue(1));
    EXPECT_TRUE(form_->unitListItems().empty());
    EXPECT_EQ(form_->unitListIndex(), -1);
    EXPECT_EQ(form_->zahlText(), "Text1");
    EXPECT_EQ(form_->pbarValue(), 0);
    EXPECT_EQ(form_->CopyRunning, 0);
    for (Control control : kInputs) {
        EXPECT_TRUE(form_->enabled(control));
    }
    for (Control control : {Control::Label1, Control::ZahlText, Control::UnitList, Control::Drive1, Control::Dir1}) {
        EXPECT_TRUE(form_->visible(control)) << "every control is visible at design time";
    }
    // The drives of the map in lower case, the medium's name beside all but the floppy; the
    // lists start where the program was started.
    ASSERT_EQ(form_->drive1Items().size(), 2U);
    EXPECT_EQ(form_->drive1Items()[0].designation, "a:");
    EXPECT_EQ(form_->drive1Items()[1].designation, "c: [c]");
    EXPECT_EQ(form_->drive1(), "c: [c]");
    EXPECT_EQ(form_->dir1Path(), "C:\\daten");
}

TEST_F(FormTest, OptionHandlersShowAndHideTheirAnswers) {
    struct Step {
        const char* what;
        std::function<void(Form1&)> act;
        bool sizeRowShown; // Label1, ZahlText, UnitList
        bool listsShown;   // Drive1, Dir1
    };
    const Step steps[] = {
        {"tick Chk(0)", [](Form1& f) { f.setChkValue(0, 1); }, true, true},
        {"clear Chk(0)", [](Form1& f) { f.setChkValue(0, 0); }, false, true},
        {"tick Chk(0) again", [](Form1& f) { f.setChkValue(0, 1); }, true, true},
        {"tick Chk(1) and Chk(2)",
         [](Form1& f) {
             f.setChkValue(1, 1);
             f.setChkValue(2, 1);
         },
         true, true},
        {"select Opt(1)", [](Form1& f) { f.selectOpt(1); }, true, true},
        {"select Opt(0)", [](Form1& f) { f.selectOpt(0); }, true, false},
        {"Opt_Click(1) as code calls it", [](Form1& f) { f.Opt_Click(1); }, true, true},
        {"Opt_Click(0) as the load handler calls it", [](Form1& f) { f.Opt_Click(0); }, true, false},
        {"clear Chk(0) by program", [](Form1& f) { f.setChkValue(0, 0); }, false, false},
    };
    bool sizeRowWas = true;
    bool listsWere = true;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        reported_.clear();
        step.act(*form_);
        for (Control control : {Control::Label1, Control::ZahlText, Control::UnitList}) {
            EXPECT_EQ(form_->visible(control), step.sizeRowShown);
        }
        EXPECT_EQ(form_->visible(Control::Drive1), step.listsShown);
        EXPECT_EQ(form_->visible(Control::Dir1), step.listsShown);
        EXPECT_NE(form_->optValue(0), form_->optValue(1)) << "exactly one option is selected";
        if (step.sizeRowShown != sizeRowWas || step.listsShown != listsWere) {
            EXPECT_NE(std::find(reported_.begin(), reported_.end(), FormPart::Visibility), reported_.end())
                << "the face must learn of it";
        }
        sizeRowWas = step.sizeRowShown;
        listsWere = step.listsShown;
    }
}

TEST_F(FormTest, ChkClickReadsTheBoxWhenItRuns) {
    form_->Chk_Click(0); // the box is clear: the size row goes
    EXPECT_FALSE(form_->visible(Control::Label1));
    form_->setChkValue(0, 1);
    form_->setLabel1Visible(false);
    form_->Chk_Click(1);
    form_->Chk_Click(2);
    EXPECT_FALSE(form_->visible(Control::Label1)) << "other indices change nothing, whatever the boxes hold";
    form_->Chk_Click(0);
    for (Control shown : {Control::Label1, Control::ZahlText, Control::UnitList}) {
        EXPECT_TRUE(form_->visible(shown));
    }
}

TEST_F(FormTest, ProgressIsCutSoItNeverShows100WhileTheRunGoesOn) {
    const std::pair<float, int> cases[] = {{0.0F, 0},    {12.4F, 12},   {12.6F, 12}, {99.5F, 99},
                                           {99.99F, 99}, {100.0F, 100}, {-3.0F, 0},  {250.0F, 100}};
    for (const auto& [percent, shown] : cases) {
        form_->setPbarValue(percent);
        EXPECT_EQ(form_->pbarValue(), shown) << percent;
    }
}

// Abbrechen and the close box: before the run they end the program at once; during it they ask
// first, and the run goes on unless the answer is Yes.
TEST_F(FormTest, AbbrechenAndTheCloseBoxAskOnlyDuringTheRun) {
    struct Case {
        const char* what;
        std::function<void(Form1&)> press;
        bool running;
        int answer; // 0: no question expected
        bool ends;
    };
    const auto abbrechen = [](Form1& f) { f.Command1_Click(1); };
    const auto closeBox = [](Form1& f) { f.Form_QueryUnload(); };
    const Case cases[] = {
        {"Abbrechen before the run", abbrechen, false, 0, true},
        {"close box before the run", closeBox, false, 0, true},
        {"Abbrechen during the run, No", abbrechen, true, rt::kResultNo, false},
        {"Abbrechen during the run, Yes", abbrechen, true, rt::kResultYes, true},
        {"close box during the run, No", closeBox, true, rt::kResultNo, false},
        {"close box during the run, Yes", closeBox, true, rt::kResultYes, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form_->CopyRunning = c.running ? -1 : 0; // as while the run yields
        const std::size_t before = test_->boxes().shown().size();
        if (c.answer != 0) {
            test_->boxes().expect(kConfirm, rt::kQuestionYesNoDefaultNo, c.answer);
        }
        if (c.ends) {
            EXPECT_EQ(endStatusOf([&] { c.press(*form_); }), 0);
        } else {
            c.press(*form_);
        }
        EXPECT_TRUE(test_->boxes().allShown());
        EXPECT_EQ(test_->boxes().shown().size() - before, c.answer != 0 ? 1U : 0U);
    }
}

TEST_F(FormTest, InfoShowsTheInfoBoxAndChangesNothing) {
    test_->boxes().expect(AAA::InfoText(kTagline), rt::kInfoOk, rt::kResultOk);
    form_->Command1_Click(2);
    EXPECT_TRUE(test_->boxes().allShown());
    EXPECT_EQ(form_->CopyRunning, 0);
    EXPECT_TRUE(form_->enabled(Control::Command1Ok));
}

TEST_F(FormTest, OkDisablesTheInputsRunsTheCopyOnceAndEnds) {
    const std::string bytes = testing_support::randomBytes(300000, 7);
    prepareRun(bytes);
    bool checkedAtFirstYield = false;
    test_->events().onYield([&](int count) {
        if (count != 1) {
            return;
        }
        checkedAtFirstYield = true;
        EXPECT_EQ(form_->CopyRunning, -1);
        for (Control control : kInputs) {
            EXPECT_FALSE(form_->enabled(control)) << static_cast<int>(control) << " before the first yield";
        }
        EXPECT_NE(std::find(reported_.begin(), reported_.end(), FormPart::Enabled), reported_.end());
        EXPECT_TRUE(form_->visible(Control::Drive1)) << "visibility is not touched";
        // A second OK while the run yields does nothing.
        form_->Command1_Click(0);
    });
    test_->boxes().expect(kFinished, rt::kInfoOk, rt::kResultOk);

    EXPECT_EQ(endStatusOf([&] { form_->Command1_Click(0); }), 0);
    EXPECT_TRUE(checkedAtFirstYield);
    EXPECT_EQ(test_->boxes().shown().size(), 1U) << "one run, one completion message";
    const std::filesystem::path target = std::filesystem::path(drives_.cRoot) / "ziel";
    EXPECT_EQ(testing_support::readFile(target / "QUILME01.sys"), bytes);
    EXPECT_TRUE(std::filesystem::exists(target / "QUIL.EXE"));
}

TEST_F(FormTest, AnUnhandledErrorInTheRunIsReportedNotThrownIntoTheWindow) {
    // A maximum part size beyond 32 bits is an overflow nobody handles.
    prepareRun("abc");
    form_->unitListAddItem("Kbyte");
    form_->unitListAddItem("Mbyte");
    form_->setUnitListIndex(1);
    form_->setChkValue(0, 1);
    form_->setZahlText("99999");
    test_->boxes().expect("Laufzeitfehler '6':\r\rÜberlauf", rt::kCriticalOk, rt::kResultOk);
    EXPECT_NE(endStatusOf([&] { form_->Command1_Click(0); }), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(drives_.cRoot) / "ziel" / "QUILME01.sys"));
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

} // namespace
} // namespace form_tests
