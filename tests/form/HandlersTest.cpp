// Form1's handlers without a window: the option rows that show and hide their answers, the
// three buttons and the close box, with scripted boxes and an end that throws.
#include "FormFixture.h"
#include "form/InfoBox.h"
#include "support/Outcomes.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iterator>
#include <regex>
#include <string>

namespace form_tests {
namespace {

const char* kConfirm = "Wollen Sie den Vorgang wirklich abbrechen?";
const char* kTagline = "Transport großer Dateien auf Floppy und anderen Wechseldatenträgern leicht gemacht ...";

TEST_F(FormTest, DesignState) {
    EXPECT_EQ(form_->caption(), "Splitwerk für Windows");
    EXPECT_EQ(form_->zahlText(), "Text1");
    EXPECT_EQ(form_->chkValue(0) + form_->chkValue(1) + form_->chkValue(2), 0) << "every box clear";
    EXPECT_TRUE(form_->optValue(0));
    EXPECT_TRUE(form_->unitListItems().empty());
    EXPECT_EQ(form_->unitListIndex(), -1);
    EXPECT_EQ(form_->pbarValue(), 0);
    for (const form::Control& row : form::controls()) {
        EXPECT_TRUE(form_->visible(row.id) && form_->enabled(row.id)) << "every control, at design time: " << row.name;
    }
    // The drives of the map in lower case, the medium's name beside all but the floppy; the
    // lists start where the program was started.
    ASSERT_EQ(form_->drive1Items().size(), 2U);
    EXPECT_EQ(form_->drive1Items()[0].designation, "a:");
    EXPECT_EQ(form_->drive1Items()[1].designation, "c: [c]");
    EXPECT_EQ(form_->drive1(), "c: [c]");
    EXPECT_EQ(form_->dir1Path(), "C:\\daten");
    // Started where the test program was, outside every drive of the map, they take the first
    // one. (A temporary folder would not do on Windows: its own drive letter names C: here.)
    drives_.floppyInserted = true;
    std::filesystem::current_path(previousDirectory_);
    const Form1 outside(test_->runtime(), source_);
    EXPECT_EQ(outside.drive1Letter(), 'a');
    EXPECT_EQ(outside.dir1Path(), "A:\\");
}

// Each step, then what shows: the size row (Label1, ZahlText, UnitList) and the lists (Drive1,
// Dir1). A box or option set by the user or the program runs its handler when its value changes;
// the handlers read the boxes when they run, and Chk_Click cares only about the first. The face
// must learn of every change.
TEST_F(FormTest, OptionHandlersShowAndHideTheirAnswers) {
    const struct {
        std::function<void(Form1&)> act;
        bool sizeRowShown;
        bool listsShown;
    } steps[] = {
        {[](Form1& f) { f.Chk_Click(1); }, true, true},        // Chk(0) is clear, yet its row stays
        {[](Form1& f) { f.Chk_Click(2); }, true, true},        // likewise
        {[](Form1& f) { f.Chk_Click(0); }, false, true},       // the box is clear: the row goes
        {[](Form1& f) { f.setChkValue(1, 1); }, false, true},  // ticking another box brings nothing back
        {[](Form1& f) { f.setChkValue(2, 1); }, false, true},  // nor does the third
        {[](Form1& f) { f.setChkValue(0, 1); }, true, true},   // its own box does
        {[](Form1& f) { f.selectOpt(1); }, true, true},        // the lists come with the second option
        {[](Form1& f) { f.selectOpt(0); }, true, false},       // and go with the first
        {[](Form1& f) { f.Opt_Click(1); }, true, true},        // as code calls it
        {[](Form1& f) { f.Opt_Click(0); }, true, false},       // as the load handler calls it
        {[](Form1& f) { f.setChkValue(0, 0); }, false, false}, // cleared by the program
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << "step " << &step - steps);
        // The size row's three, then the lists; the face hears of each one that changes.
        const ControlId rows[] = {ControlId::Label1, ControlId::ZahlText, ControlId::UnitList, ControlId::Drive1,
                                  ControlId::Dir1};
        bool was[std::size(rows)];
        std::ranges::transform(rows, was, [&](ControlId id) { return form_->visible(id); });
        shown_.clear();
        step.act(*form_);
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            EXPECT_EQ(form_->visible(rows[i]), i < 3 ? step.sizeRowShown : step.listsShown) << i;
            EXPECT_TRUE(form_->visible(rows[i]) == was[i] || std::ranges::count(shown_, rows[i]) != 0) << i;
        }
        EXPECT_NE(form_->optValue(0), form_->optValue(1)) << "exactly one option is selected";
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
    for (bool closeBox : {false, true}) {
        for (int answer : {0, int{rt::kResultNo}, int{rt::kResultYes}}) { // 0: before the run, nothing to ask
            SCOPED_TRACE(testing::Message() << "close box " << closeBox << ", answer " << answer);
            form_->CopyRunning = answer != 0 ? -1 : 0; // as while the run yields
            if (answer != 0) {
                test_->boxes().expect(kConfirm, rt::kQuestionYesNoDefaultNo, answer);
            }
            const auto press = [&] { closeBox ? form_->Form_QueryUnload() : form_->Command1_Click(1); };
            if (answer == rt::kResultNo) {
                press();
            } else {
                EXPECT_EQ(testing_support::endStatusOf(press), 0);
            }
            EXPECT_TRUE(test_->boxes().allShown());
        }
    }
}

// A second OK while the run yields finds it going: a second run would show a second completion
// box, which nobody expects.
TEST_F(FormTest, OkDisablesTheInputsRunsTheCopyOnceAndEnds) {
    const std::string bytes = testing_support::randomBytes(300000, 7);
    prepareRun(bytes);
    int yields = 0;
    test_->events().onYield([&](int) {
        ++yields;
        for (const ControlId id :
             {ControlId::Command1_0, ControlId::Drive1, ControlId::Dir1, ControlId::ZahlText, ControlId::UnitList,
              ControlId::Chk0, ControlId::Chk1, ControlId::Chk2, ControlId::Opt0, ControlId::Opt1}) {
            EXPECT_FALSE(form_->enabled(id)) << form::control(id).name << " while the run yields";
            EXPECT_NE(std::ranges::count(shown_, id), 0) << form::control(id).name << " not shown grey";
        }
        EXPECT_TRUE(form_->enabled(ControlId::Command1_1) && form_->enabled(ControlId::Command1_2));
        EXPECT_TRUE(form_->visible(ControlId::Drive1)) << "visibility is not touched";
        // A tool may still set a grey control: the form keeps what the run read, for the face to show.
        EXPECT_FALSE(form_->openFolder("C:\\"));
        form_->tickChk(1, 1);
        form_->selectOpt(0);
        form_->typeZahlText("7");
        EXPECT_TRUE(form_->chkValue(1) == 0 && form_->optValue(1) && form_->zahlText() == "Text1");
        EXPECT_TRUE(form_->dir1Path() == "C:\\ziel" && shown_.back() == ControlId::ZahlText);
        form_->Command1_Click(0);
    });
    test_->boxes().expect("Die Kopie ist fertig!", rt::kInfoOk, rt::kResultOk);

    EXPECT_EQ(testing_support::endStatusOf([&] { form_->Command1_Click(0); }), 0);
    EXPECT_GT(yields, 0);
    const std::filesystem::path target = std::filesystem::path(drives_.cRoot) / "ziel";
    EXPECT_EQ(testing_support::readFile(target / "QUILME01.sys"), bytes);
    EXPECT_TRUE(std::filesystem::exists(target / "QUIL.EXE"));
}

TEST_F(FormTest, AnUnhandledErrorInTheRunIsReportedNotThrownIntoTheWindow) {
    // An error that escapes the run (here from the completion box itself) is nobody's to handle.
    prepareRun("abc");
    test_->boxes().expect("Die Kopie ist fertig!", rt::kInfoOk, rt::kResultOk, [] { rt::raise(rt::kDeviceIo); });
    test_->boxes().expect("Laufzeitfehler '57':\r\rGeräte-E/A-Fehler", rt::kCriticalOk, rt::kResultOk);
    EXPECT_NE(testing_support::endStatusOf([&] { form_->Command1_Click(0); }), 0);
}

// Info shows the tagline, an empty line, then paragraphs apart by one empty line each (no empty
// paragraph: no third CR in a row), the goodbye last; lone CRs, as the message box wants them.
// It changes nothing.
TEST_F(FormTest, InfoShowsTheTaglineTheParagraphsAndTheGoodbye) {
    const std::string text = form::AAA::InfoText(kTagline);
    EXPECT_TRUE(text.starts_with(std::string(kTagline) + "\r\r") && text.ends_with("\r\rBis bald ... ")) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(text.find("\r\r\r"), std::string::npos);
    const std::regex gap("\r\r");
    const auto gaps = std::distance(std::sregex_iterator(text.begin(), text.end(), gap), {});
    EXPECT_TRUE(gaps >= 4 && gaps <= 6) << gaps << " gaps between paragraphs";
    EXPECT_NE(text.find("Senden an"), std::string::npos);
    EXPECT_NE(text.find("QUIL.EXE"), std::string::npos);

    test_->boxes().expect(text, rt::kInfoOk, rt::kResultOk);
    form_->Command1_Click(2);
    EXPECT_EQ(form_->CopyRunning, 0);
    EXPECT_TRUE(form_->enabled(ControlId::Command1_0));
}

} // namespace
} // namespace form_tests
