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
constexpr std::int64_t kPageSize = 4096;

std::int64_t pageStart(std::int64_t offset) {
    return offset - offset % kPageSize;
}

} // namespace

void Writeback::wrote(NativeHandle handle, std::int64_t from, std::int64_t to) {
    if (from != unsentTo_) {
        unsentFrom_ = pageStart(from);
    }
    unsentTo_ = to;
    const std::int64_t end = pageStart(unsentTo_);
    const std::int64_t step = unsentFrom_ < kLongFile ? kWritebackStep : kLongFileWritebackStep;
    if (end - unsentFrom_ < step) {
        return;
    }
    const SystemError error = startWriteback(handle, unsentFrom_, end - unsentFrom_);
    if (error != 0 && error_ == 0) {
        error_ = error;
    }
    unsentFrom_ = end;
}

} // namespace lowio
