// Whole runs of the program that end it: each in a child process with the real message
// boxes, the real event pump and the real end. The child presses what a user would press,
// answers the real boxes, and reports each box it saw and what it observed.
#include "ChildProcess.h"
#include "WindowFixture.h"
#include "runtime/posix/PosixFileSystem.h"
#include "runtime/qt/QtEventPump.h"
#include "runtime/qt/QtMessageBox.h"
#include "window/qt/DirList.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <deque>
#include <filesystem>

namespace window_tests {
namespace {

namespace fs = std::filesystem;

const char* kConfirm = "292|Wollen Sie den Vorgang wirklich abbrechen?";
const char* kFinished = "64|Die Kopie ist fertig!";
constexpr int kSourceSize = 1000000; // eight chunks

QMessageBox::StandardButton buttonFor(int answer) {
    return answer == rt::kResultCancel ? QMessageBox::Cancel
           : answer == rt::kResultYes  ? QMessageBox::Yes
           : answer == rt::kResultNo   ? QMessageBox::No
                                       : QMessageBox::Ok;
}

// The real box, answered like a user: the answer is pressed on the box once it is up.
class AnsweringBox final : public rt::MessageBoxService {
public:
    explicit AnsweringBox(const ChildReport& report) : report_(report) {}
    void answer(int code, std::function<void()> whileShown = {}) { answers_.push_back({code, std::move(whileShown)}); }

    int show(const std::string& prompt, int style, const std::string& title) override {
        report_.line(std::to_string(style) + "|" + prompt + (title == "Splitwerk 99" ? "" : "|title " + title));
        Answer next = answers_.empty() ? Answer{rt::kResultOk, {}} : answers_.front();
        if (!answers_.empty()) {
            answers_.pop_front();
        }
        auto* poll = new QTimer;
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, [poll, next] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            poll->stop();
            poll->deleteLater();
            if (next.whileShown) {
                next.whileShown();
            }
            box->button(buttonFor(next.code))->click();
        });
        poll->start();
        return real_.show(prompt, style, title);
    }

private:
    struct Answer {
        int code;
        std::function<void()> whileShown;
    };
    const ChildReport& report_;
    rt::QtMessageBox real_;
    std::deque<Answer> answers_;
};

// The real yield, with an action of the scenario before the n-th one.
class CountingPump final : public rt::EventPump {
public:
    std::function<void(int)> atYield;
    int count = 0;
    void doEvents() override {
        ++count;
        if (atYield) {
            atYield(count);
        }
        real_.doEvents();
    }

private:
    rt::QtEventPump real_;
};

// Everything one child needs: the program as main() builds it, over the test drives.
struct ChildProgram {
    ChildProgram(TestDrives& drives, const ChildReport& report) : boxes(report) {
        rt::RuntimeParts parts;
        parts.drives = drives.map();
        parts.facts = drives.facts("C:\\daten\\quelle.bin");
        parts.fileSystem = &fileSystem;
        parts.messageBox = &boxes;
        parts.events = &pump;
        parts.programEnd = &end;
        parts.shellLink = &links;
        runtime = std::make_unique<rt::Runtime>(std::move(parts));
        model = std::make_unique<Form1>(*runtime, source);
        form = std::make_unique<QtForm1Window>(*model);
        runtime->runGuarded([&] { app::Form_Load(*model, *runtime, source); });
        form->show();
    }

    // Starts the event loop with the user's first action; never returns.
    [[noreturn]] void run(const std::function<void()>& firstAction) {
        QTimer::singleShot(0, form.get(), firstAction);
        QApplication::exec();
        ::_exit(96);
    }

    void chooseFolderTarget() const {
        form->opt(1)->click();
        model->setDir1Path("C:\\ziel");
    }

    // The usual first action: C:\ziel as the target, then OK.
    [[noreturn]] void runIntoTheFolder() {
        run([this] {
            chooseFolderTarget();
            form->command1(0)->click();
        });
    }

    rt::PosixFileSystem fileSystem;
    AnsweringBox boxes;
    CountingPump pump;
    rt::ProcessExit end;
    testing_support::RecordingShellLink links;
    std::unique_ptr<rt::Runtime> runtime;
    core::SourceSelection source;
    std::unique_ptr<Form1> model;
    std::unique_ptr<QtForm1Window> form;
};

class ScenarioTest : public ::testing::Test {
protected:
    void SetUp() override {
        source_ = drives_.base / "c" / "daten" / "quelle.bin";
        if (!isChild()) {
            drives_.write("c/daten/quelle.bin", testing_support::randomBytes(kSourceSize, 11));
            setChildBase(drives_.base.string());
        }
    }

    fs::path target(const char* name) const { return fs::path(drives_.cRoot) / "ziel" / name; }

    TestDrives drives_{childBase()};
    fs::path source_;
};

using Lines = std::vector<std::string>;

TEST_F(ScenarioTest, EnterAtStartPressesOkAndTheSecondPressDoesNothing) {
    const ChildOutcome outcome = runInChild([&](const ChildReport& report) {
        ChildProgram program(drives_, report);
        program.boxes.answer(rt::kResultOk);
        program.pump.atYield = [&](int count) {
            if (count == 2) {
                // A second press while the run goes: the button is grey, nothing happens.
                program.form->command1(0)->click();
                QTest::keyClick(program.form.get(), Qt::Key_O, Qt::AltModifier);
                report.line(program.form->command1(0)->isEnabled() ? "ok enabled" : "ok disabled");
            }
        };
        program.run([&] {
            program.chooseFolderTarget();
            program.form->activateWindow();
            if (!QTest::qWaitForWindowActive(program.form.get()) || QApplication::focusWidget() == nullptr) {
                report.line("window not active");
                program.runtime->end(3);
            }
            report.line("focus " + QApplication::focusWidget()->objectName().toStdString());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
    });
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.lines, (Lines{"focus Command1(0)", "ok disabled", kFinished}));
    EXPECT_EQ(fs::file_size(target("QUILME01.sys")), static_cast<std::uintmax_t>(kSourceSize));
}

// Abbrechen, or the close box.
void pressCancel(const ChildProgram& program, bool closeBox) {
    closeBox ? static_cast<void>(program.form->close()) : program.form->command1(1)->click();
}

// Abbrechen and the close box do the same; each scenario runs in a child of its own.
class Cancel : public ScenarioTest, public ::testing::WithParamInterface<bool> {}; // true: the close box

TEST_P(Cancel, BeforeTheRunEndsWithoutAQuestion) {
    const ChildOutcome outcome = runInChild([&](const ChildReport& report) {
        ChildProgram program(drives_, report);
        program.run([&] { pressCancel(program, GetParam()); });
    });
    EXPECT_EQ(outcome.status, 0);
    EXPECT_TRUE(outcome.lines.empty());
    EXPECT_FALSE(fs::exists(target("QUIL.EXE")));
}

// Abbrechen (or the close box) pressed while the run yields before its third chunk (the first
// yield comes while QUIL.EXE is read back from the medium).
ChildOutcome cancelDuringRun(TestDrives& drives, bool closeBox, int answer) {
    return runInChild([&](const ChildReport& report) {
        ChildProgram program(drives, report);
        program.boxes.answer(answer);
        program.boxes.answer(rt::kResultOk); // the completion message, should the run go on
        program.pump.atYield = [&](int count) {
            if (count == 4) {
                QTimer::singleShot(0, program.form.get(), [&] { pressCancel(program, closeBox); });
            }
        };
        program.runIntoTheFolder();
    });
}

TEST_P(Cancel, DuringTheRunAnsweredNoGoesOn) {
    const ChildOutcome outcome = cancelDuringRun(drives_, GetParam(), rt::kResultNo);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.lines, (Lines{kConfirm, kFinished}));
    EXPECT_EQ(testing_support::readFile(target("QUILME01.sys")), testing_support::readFile(source_));
    EXPECT_TRUE(fs::exists(target("QUIL.EXE")));
}

TEST_P(Cancel, DuringTheRunAnsweredYesEndsWhereItStood) {
    const ChildOutcome outcome = cancelDuringRun(drives_, GetParam(), rt::kResultYes);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.lines, Lines{kConfirm}) << "no completion message";
    // Two chunks were written before the third yield; they stay on the target.
    EXPECT_EQ(fs::file_size(target("QUILME01.sys")), 2U * 131072U);
}

INSTANTIATE_TEST_SUITE_P(Scenario, Cancel, ::testing::Bool(),
                         [](const auto& testCase) { return std::string(testCase.param ? "CloseBox" : "Abbrechen"); });

TEST_F(ScenarioTest, InfoDuringTheRunHoldsTheProgressUntilClosed) {
    const ChildOutcome outcome = runInChild([&](const ChildReport& report) {
        ChildProgram program(drives_, report);
        // While the Info box stands, look at the progress and the yields a few times.
        program.boxes.answer(rt::kResultOk, [&] {
            for (int look = 0; look < 3; ++look) {
                report.line("while info: " + std::to_string(program.form->pbar()->value()) + " " +
                            std::to_string(program.pump.count));
                QTest::qWait(50);
            }
        });
        program.boxes.answer(rt::kResultOk);
        program.pump.atYield = [&](int count) {
            if (count == 5) {
                QTimer::singleShot(0, program.form.get(), [&] { program.form->command1(2)->click(); });
            }
        };
        program.runIntoTheFolder();
    });
    EXPECT_EQ(outcome.status, 0);
    ASSERT_FALSE(outcome.lines.empty());
    EXPECT_EQ(outcome.lines[0].rfind("64|Transport großer Dateien auf Floppy und anderen Wechseldatenträgern", 0), 0U);
    // The bar shows the share before the last chunk written: the third began at 262144 of
    // 1000000 bytes. It stays there, and no further yield happens, while the box stands.
    const std::string held = "while info: 26 5";
    EXPECT_EQ(Lines(outcome.lines.begin() + 1, outcome.lines.end()), (Lines{held, held, held, kFinished}));
    EXPECT_EQ(testing_support::readFile(target("QUILME01.sys")), testing_support::readFile(source_));
}

} // namespace
} // namespace window_tests
