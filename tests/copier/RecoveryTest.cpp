// The copy run's recovery: halving a chunk that does not fit, full disks, the four handlers
// with each answer, the fatal report, and failures of a handler's own operations.
#include "CopyRunFixture.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <tuple>

namespace copier_tests {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing_support::SimulatedDrive;

class Recovery : public CopyRunFixture {
protected:
    // The first yield comes right before the first chunk, after the trailer's writes.
    void countChunkWritesOnly() {
        events().onYield([this](int count) {
            if (count == 1) {
                drive_.clearCounters();
            }
        });
    }
};

const std::string kFatalDeviceError = "Es kam in Modul PUT zu folgendem Fehler:\r"
                                      "Geräte-E/A-Fehler /57\r"
                                      "Bitte benachrichtigen Sie den Programmautor über ff. e-Mail-Adresse:\r"
                                      "support@splitwerk99.de";

TEST_F(Recovery, AChunkIsHalvedNineTimesAtMostBeforeTheDiskCountsAsFull) {
    const std::string bytes = makeSource(200000);
    drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + 511);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultCancel);
    boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultYes);
    countChunkWritesOnly();
    run();
    EXPECT_THAT(drive_.writeSizes(), ElementsAre(131072U, 65536U, 32768U, 16384U, 8192U, 4096U, 2048U, 1024U, 512U));
    // The part got nothing, so its empty file is gone; nothing else is shown.
    EXPECT_THAT(filesOn(0), ElementsAre("QUIL.EXE"));
}

TEST_F(Recovery, AHalvedChunkIsReadAgainAndTheNextChunkStartsAtFullSize) {
    const std::string bytes = makeSource(400000);
    // Room for 65536 bytes more after the first chunk, but not for 131072.
    drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + 131072 + 65536 + 100);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, swapToBlankDisk());
    boxes().expect(text::kFinished, rt::kInfoOk, rt::kResultOk);
    countChunkWritesOnly();
    run();
    const std::vector<std::size_t> sizes = drive_.writeSizes();
    ASSERT_GE(sizes.size(), 5U);
    // First chunk; the second fails and fits at half; the third starts at full size again.
    EXPECT_THAT(std::vector<std::size_t>(sizes.begin(), sizes.begin() + 4),
                ElementsAre(131072U, 131072U, 65536U, 131072U));
    EXPECT_EQ(onDisk(0, "QUILME01.sys").size(), 131072U + 65536U);
    EXPECT_EQ(joinedParts(), bytes);
}

TEST_F(Recovery, A900ByteChunkThatDoesNotFitGetsNoSecondAttempt) {
    const std::string bytes = makeSource(900);
    drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + 100);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, swapToBlankDisk());
    boxes().expect(text::kFinished, rt::kInfoOk, rt::kResultOk);
    countChunkWritesOnly();
    run();
    EXPECT_THAT(drive_.writeSizes(), ElementsAre(900U, 900U));
    EXPECT_THAT(filesOn(0), ElementsAre("QUIL.EXE"));
    EXPECT_EQ(onDisk(1, "QUILME01.sys"), bytes);
}

TEST_F(Recovery, CancelThenNoInTheDiskFullDialogAsksAgain) {
    const std::string bytes = makeSource(3000);
    drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + 2000);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultCancel);
    boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultNo);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, [&] { drive_.insertBlank(); });
    runToCompletion();
    EXPECT_EQ(joinedParts(), bytes);
}

// One table for the four handlers: how to provoke each one, what it says, and how to undo
// the trouble before answering OK.
struct HandlerCase {
    const char* name;
    std::function<void(CopyRunFixture&, SimulatedDrive&)> provoke;
    std::string prompt;
    std::function<void(CopyRunFixture&, SimulatedDrive&)> mend;
};

enum class Answer { Ok, CancelThenYes, CancelThenNoThenOk };

std::string handlerCaseName(const ::testing::TestParamInfo<std::tuple<HandlerCase, Answer>>& info) {
    static const char* const kAnswers[] = {"Ok", "CancelThenYes", "CancelThenNoThenOk"};
    std::string name = std::get<0>(info.param).name;
    name.erase(std::remove_if(name.begin(), name.end(),
                              [](char c) { return std::isalnum(static_cast<unsigned char>(c)) == 0; }),
               name.end());
    return name + "_" + kAnswers[static_cast<int>(std::get<1>(info.param))];
}

class Handlers : public CopyRunFixture, public ::testing::WithParamInterface<std::tuple<HandlerCase, Answer>> {};

TEST_P(Handlers, RetryOnOkGiveUpOnCancelAndYesAskAgainOnNo) {
    const auto& [c, answer] = GetParam();
    const std::string bytes = makeSource(5000);
    c.provoke(*this, drive_);
    const auto mendIt = [this, mend = c.mend] { mend(*this, drive_); };
    switch (answer) {
    case Answer::Ok:
        boxes().expect(c.prompt, rt::kCriticalOkCancel, rt::kResultOk, mendIt);
        boxes().expect(text::kFinished, rt::kInfoOk, rt::kResultOk);
        break;
    case Answer::CancelThenYes:
        boxes().expect(c.prompt, rt::kCriticalOkCancel, rt::kResultCancel);
        boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultYes);
        break;
    case Answer::CancelThenNoThenOk:
        boxes().expect(c.prompt, rt::kCriticalOkCancel, rt::kResultCancel);
        boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultNo);
        boxes().expect(c.prompt, rt::kCriticalOkCancel, rt::kResultOk, mendIt);
        boxes().expect(text::kFinished, rt::kInfoOk, rt::kResultOk);
        break;
    }
    run();
    EXPECT_EQ(controls_.progress().back(), 0.0F);
    if (answer == Answer::CancelThenYes) {
        // Given up: what was written stays, nothing more is added.
        EXPECT_NE(joinedParts(), bytes);
    } else {
        EXPECT_EQ(joinedParts(), bytes) << c.name;
        EXPECT_EQ(onDisk(0, "QUIL.EXE"), expectedQuilExe(bytes));
    }
}

const HandlerCase kSourceLocked{
    "OnSourceError", [](CopyRunFixture& f, SimulatedDrive& drive) { drive.lock(f.sourceFile()); }, text::kSourceError,
    [](CopyRunFixture& f, SimulatedDrive& drive) { drive.unlock(f.sourceFile()); }};
const HandlerCase kWipeFails{"OnWipeError",
                             [](CopyRunFixture& f, SimulatedDrive& drive) {
                                 f.temp_.write("drive/disk1/alt.txt", "weg");
                                 f.controls_.wipe();
                                 drive.failNext(SimulatedDrive::Op::Remove, 75);
                             },
                             text::kWipeError, [](CopyRunFixture&, SimulatedDrive&) {}};
const HandlerCase kTargetFails{
    "OnTargetError", [](CopyRunFixture&, SimulatedDrive& drive) { drive.failNext(SimulatedDrive::Op::Copy, 70); },
    text::kTargetError, [](CopyRunFixture&, SimulatedDrive&) {}};
const HandlerCase kDriveNotReady{
    "OnWriteError 71",
    // past the four trailer lines: the first chunk
    [](CopyRunFixture&, SimulatedDrive& drive) { drive.failNext(SimulatedDrive::Op::Write, 71, 4); }, text::kNotReady,
    [](CopyRunFixture&, SimulatedDrive&) {}};

INSTANTIATE_TEST_SUITE_P(Table, Handlers,
                         ::testing::Combine(::testing::Values(kSourceLocked, kWipeFails, kTargetFails, kDriveNotReady),
                                            ::testing::Values(Answer::Ok, Answer::CancelThenYes,
                                                              Answer::CancelThenNoThenOk)),
                         handlerCaseName);

TEST_F(Recovery, ALockedSourceGivenUpLeavesTheTargetUntouched) {
    makeSource(5000);
    drive_.lock(sourceFile());
    boxes().expect(text::kSourceError, rt::kCriticalOkCancel, rt::kResultCancel);
    boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultYes);
    run();
    EXPECT_TRUE(filesOn(0).empty());
    EXPECT_THAT(controls_.progress(), ElementsAre(0.0F));
}

TEST_F(Recovery, AnyOtherWriteErrorEndsWithTheReportForPut) {
    const std::string bytes = makeSource(300000);
    // The four trailer lines and the first chunk go through; the second chunk fails.
    drive_.failNext(SimulatedDrive::Op::Write, 57, 5);
    boxes().expect(kFatalDeviceError, rt::kCriticalOk, rt::kResultOk);
    try {
        run();
        FAIL() << "the program did not end";
    } catch (const rt::ProgramEnded& ended) {
        EXPECT_NE(ended.status, 0);
    }
    // The first chunk went in, the failed second left nothing.
    EXPECT_EQ(onDisk(0, "QUILME01.sys"), bytes.substr(0, 131072));
}

// A write-protected target fails at the wipe's first deletion, else at the reassembler copy.
TEST_F(Recovery, WriteProtectedTargetFailsAtTheFirstChangeToIt) {
    // With the wipe, without; a file on the disk or none.
    const std::tuple<bool, bool, std::string> cases[] = {
        {false, true, text::kTargetError}, {true, true, text::kWipeError}, {true, false, text::kTargetError}};
    for (const auto& [wipe, oldFile, prompt] : cases) {
        SCOPED_TRACE(testing::Message() << "wipe " << wipe << ", old file " << oldFile);
        CopyScene scene;
        const std::string bytes = scene.makeSource(5000);
        if (oldFile) {
            scene.temp_.write("drive/disk1/alt.txt", "weg");
        }
        scene.controls_.wipe(wipe);
        scene.drive_.setWriteProtected(true);
        scene.boxes().expect(prompt, rt::kCriticalOkCancel, rt::kResultOk,
                             [&] { scene.drive_.setWriteProtected(false); });
        scene.runToCompletion();
        EXPECT_TRUE(scene.boxes().allShown());
        EXPECT_EQ(scene.filesOn(0).size(), oldFile && !wipe ? 3U : 2U);
        EXPECT_EQ(scene.joinedParts(), bytes);
    }
}

// After a change of disk without the wipe, the search for an old part file runs under the
// write handler: not ready asks to check the drive, anything else is fatal.
TEST_F(Recovery, NoDiskAfterAChangeAsksToCheckTheDrive) {
    const std::string bytes = makeSource(5000);
    drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + 3000);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, [&] {
        drive_.setCapacity(std::nullopt);
        drive_.eject();
    });
    boxes().expect(text::kNotReady, rt::kCriticalOkCancel, rt::kResultOk, [&] { drive_.insertBlank(); });
    runToCompletion();
    EXPECT_EQ(joinedParts(), bytes);
}

TEST_F(Recovery, AnotherSearchFailureAfterAChangeIsFatal) {
    const std::string bytes = makeSource(5000);
    drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + 3000);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, [&] {
        drive_.insertBlank();
        drive_.failNext(SimulatedDrive::Op::List, 57);
    });
    boxes().expect(kFatalDeviceError, rt::kCriticalOk, rt::kResultOk);
    EXPECT_THROW(run(), rt::ProgramEnded);
}

// A worn diskette often fails its flush right when it fills up: the part is written anew, then
// the disk is full again and the next one is asked for.
TEST_F(Recovery, AFailingCloseInTheDiskFullPathWritesThePartAnew) {
    const std::string bytes = makeSource(5000);
    drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + 3000);
    drive_.failNext(SimulatedDrive::Op::Close, 57, 1); // the trailer's close goes through
    boxes().expect(text::kTargetError, rt::kCriticalOkCancel, rt::kResultOk);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, swapToBlankDisk());
    runToCompletion();
    EXPECT_EQ(joinedParts(), bytes);
}

TEST_F(Recovery, GivingUpAPartCloseThatKeepsFailingStillClosesTheSource) {
    makeSource(5000);
    events().onYield([&](int) { drive_.setFailing(SimulatedDrive::Op::Close, 57); });
    boxes().expect(text::kTargetError, rt::kCriticalOkCancel, rt::kResultCancel);
    boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultYes);
    run();
    EXPECT_FALSE(runtime().files().isOpen(1)); // the source
    EXPECT_EQ(controls_.progress().back(), 0.0F);
}

} // namespace
} // namespace copier_tests
