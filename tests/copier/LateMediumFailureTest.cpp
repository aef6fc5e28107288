// Removable media report many write errors only when the cache goes out: at the flush when a
// part is closed, or from the writeback started while it was written. Such a failure must reach
// the user while the disk is still in the drive, and never end in the completion message.
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
        boxes().expect(text::kTargetError, 17, 1, [&] { faults.clear(); });
        boxes().expect(text::kFinished, 64, 1);
    } else {
        boxes().expect(text::kTargetError, 17, 2);
        boxes().expect(text::kConfirmAbort, 292, 6);
    }
    run();
    EXPECT_TRUE(boxes().allShown());
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

} // namespace
} // namespace copier_tests
