// Removable media report many write errors only when the cache goes out: at the flush when a
// part is closed, or from the writeback started while it was written. Such a failure must reach
// the user while the disk is still in the drive, and never end in the completion message. A
// system may drop what it could not write and let the next flush succeed: a part that failed
// its flush, or reads back otherwise, is written anew from its first byte.
#include "CopyRunFixture.h"
#include "support/HostFiles.h"
#include "support/InjectedFaults.h"

namespace copier_tests {
namespace {

struct LateFailureCase {
    const char* name;
    bool atWriteback; // else at the flush
    bool retried;     // OK once the medium is back, else given up
};

class LateMediumFailure : public CopyRunFixture, public ::testing::WithParamInterface<LateFailureCase> {};

TEST_P(LateMediumFailure, IsShownAtTheCloseAndNeverReportedAsFinished) {
    const LateFailureCase& c = GetParam();
    // The writeback starts once a whole MiB waits; the flush fails for any size.
    const std::string bytes = makeSource(c.atWriteback ? 1300000 : 200000);
    testing_support::InjectedFaults faults;
    // Only the part is hit: the first yield comes after the first disk's own files.
    events().onYield([&](int count) {
        if (count == 1) {
            const lowio::SystemError failure = testing_support::deviceFailureCode();
            c.atWriteback ? faults.failWritebacks(failure) : faults.failFlushes(failure);
        }
    });
    if (c.retried) {
        boxes().expect(text::kTargetError, rt::kCriticalOkCancel, rt::kResultOk, [&] { faults.clear(); });
        boxes().expect(text::kFinished, rt::kInfoOk, rt::kResultOk);
    } else {
        boxes().expect(text::kTargetError, rt::kCriticalOkCancel, rt::kResultCancel);
        boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultYes);
    }
    run();
    if (c.retried) {
        EXPECT_EQ(joinedParts(), bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LateMediumFailure,
                         ::testing::Values(LateFailureCase{"FlushRetried", false, true},
                                           LateFailureCase{"FlushGivenUp", false, false},
                                           LateFailureCase{"WritebackRetried", true, true},
                                           LateFailureCase{"WritebackGivenUp", true, false}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// Where the medium loses what it was given; OK is pressed once.
struct LostWriteCase {
    const char* name;
    std::function<void(CopyScene&)> provoke;
    bool fixedFolder = false; // F:, a fixed drive on the simulated disk, instead of A:
    std::vector<std::string> readBacks = {};
    std::size_t size = 5000; // parts of 2048 bytes; more than 32 KiB makes parts of 40 KiB
};

class LostWrite : public CopyRunFixture, public ::testing::WithParamInterface<LostWriteCase> {};

TEST_P(LostWrite, IsWrittenAnewAndOnlyThenFinished) {
    const LostWriteCase& c = GetParam();
    const std::string bytes = makeSource(c.size);
    controls_.limit(c.size > 32768 ? "40" : "2", 0);
    controls_.autorun();
    if (c.fixedFolder) {
        runtime().drives().removeDrive('A');
        runtime().drives().setFixedDrive('F', drive_.currentDisk().string());
        controls_.targetFolder("F:\\");
    }
    c.provoke(*this);
    boxes().expect(text::kTargetError, rt::kCriticalOkCancel, rt::kResultOk);
    runToCompletion();
    EXPECT_EQ(joinedParts(), bytes);
    EXPECT_EQ(onDisk(0, "QUIL.EXE"), expectedQuilExe(bytes));
    EXPECT_EQ(onDisk(0, "autorun.inf").size(), 108U);
    EXPECT_EQ(drive_.readBacks(), c.readBacks);
}

using Op = testing_support::SimulatedDrive::Op;
const std::vector<std::string> kEachFileOnce = {"QUIL.EXE", "autorun.inf", "QUILME01.sys", "QUILME02.sys",
                                                "QUILME03.sys"};
const std::vector<std::string> kFirstDiskTwice = {"QUIL.EXE",     "autorun.inf",  "QUIL.EXE",    "autorun.inf",
                                                  "QUILME01.sys", "QUILME02.sys", "QUILME03.sys"};
const std::vector<std::string> kReassemblerTwice = {"QUIL.EXE",     "QUIL.EXE",     "autorun.inf",
                                                    "QUILME01.sys", "QUILME02.sys", "QUILME03.sys"};

INSTANTIATE_TEST_SUITE_P(
    Table, LostWrite,
    ::testing::Values(
        // The closes on the disk: QUIL.EXE's (after its trailer), autorun.inf's, then the parts'.
        LostWriteCase{"TrailerClose", [](CopyScene& s) { s.drive_.failNext(Op::Close, 57); }, false, kEachFileOnce},
        LostWriteCase{"FullPartClose", [](CopyScene& s) { s.drive_.failNext(Op::Close, 57, 2); }, false, kEachFileOnce},
        LostWriteCase{"LastPartClose", [](CopyScene& s) { s.drive_.failNext(Op::Close, 61, 4); }, false, kEachFileOnce},
        LostWriteCase{"PartReadsBackWrong",
                      [](CopyScene& s) { s.drive_.damageNextReadBack("QUILME01.sys"); },
                      false,
                      {"QUIL.EXE", "autorun.inf", "QUILME01.sys", "QUILME01.sys", "QUILME02.sys", "QUILME03.sys"}},
        LostWriteCase{"PartReadsBackWrongPastItsFirstPiece",
                      [](CopyScene& s) { s.drive_.damageNextReadBack("QUILME01.sys", 40000); },
                      false,
                      {"QUIL.EXE", "autorun.inf", "QUILME01.sys", "QUILME01.sys", "QUILME02.sys"},
                      50000},
        LostWriteCase{"ReassemblerReadsBackWrong", [](CopyScene& s) { s.drive_.damageNextReadBack("QUIL.EXE"); }, false,
                      kReassemblerTwice},
        LostWriteCase{"AutorunReadsBackWrong", [](CopyScene& s) { s.drive_.damageNextReadBack("autorun.inf"); }, false,
                      kFirstDiskTwice},
        // A fixed drive flushes its parts once, before the end; the second part's flush fails.
        LostWriteCase{"FolderFlushAtTheEnd", [](CopyScene& s) { s.drive_.failNext(Op::Flush, 57, 1); }, true},
        // A clean-up tool deletes the folder and makes it anew before the end flush: the whole set
        // goes there again, the reassembler first.
        LostWriteCase{"FolderMadeAnewBeforeTheEndFlush",
                      [](CopyScene& s) {
                          s.drive_.beforeNext(Op::Flush, [&s] {
                              std::filesystem::remove_all(s.drive_.currentDisk());
                              std::filesystem::create_directories(s.drive_.currentDisk());
                          });
                      },
                      true}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
} // namespace copier_tests
