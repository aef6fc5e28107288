// The early writeback, in whole pages: a partial last page waits for the next write (or the
// flush), so that no page goes out twice.
#include "Io.h"

namespace lowio {

namespace {

// Large enough that the medium gets large requests, small enough that it never idles long. A
// diskette's part goes out early after its first MiB; a long part, once past the first few
// steps, in larger ones, which leaves the call a quarter of the times it costs the copy.
constexpr std::int64_t kWritebackStep = 1024 * 1024;
constexpr std::int64_t kLongFileWritebackStep = 4 * kWritebackStep;
constexpr std::int64_t kLongFile = 4 * kWritebackStep;
// How far behind the written end a range is waited for and dropped: far enough that the medium
// always has this much on its way, so the wait rarely waits; near enough that a file of any
// length holds no more of the cache than this (a diskette's part never gets that far).
constexpr std::int64_t kSettleDistance = 32 * kWritebackStep;
constexpr std::int64_t kPageSize = 4096;

std::int64_t pageStart(std::int64_t offset) {
    return offset - offset % kPageSize;
}

} // namespace

void Writeback::wrote(NativeHandle handle, std::int64_t from, std::int64_t to) {
    if (from != unsentTo_) {
        // Written somewhere else than after the last write (a part placed at its own offset):
        // from here on, as if the file began here.
        unsentFrom_ = pageStart(from);
        unsettledFrom_ = unsentFrom_;
    }
    unsentTo_ = to;
    const std::int64_t end = pageStart(unsentTo_);
    const std::int64_t step = unsentFrom_ < kLongFile ? kWritebackStep : kLongFileWritebackStep;
    if (end - unsentFrom_ < step) {
        return;
    }
    keep(startWriteback(handle, unsentFrom_, end - unsentFrom_));
    unsentFrom_ = end;
    // In steps as large as the writeback's, so that each wait finds its range long on its way.
    if (releasePages_ && end - unsettledFrom_ >= kSettleDistance + kLongFileWritebackStep) {
        const std::int64_t settleTo = end - kSettleDistance;
        keep(settleWritten(handle, unsettledFrom_, settleTo - unsettledFrom_));
        unsettledFrom_ = settleTo;
    }
}

} // namespace lowio
