// sync_file_range in the two forms the writeback uses: the start, shared by the library's medium
// calls and the test programs' own (see MediumCalls.h), which must behave the same unless told to
// fail; and the wait behind the written end, which the library alone makes.
#pragma once

#include "lowio/Io.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>

namespace lowio::medium {

// Starts writing the range out; with `wait`, also waits for what was already on its way and for
// the range itself to reach the medium. 0, or the error as the system reported it.
inline SystemError syncRange(NativeHandle handle, std::int64_t from, std::int64_t length, bool wait) {
#ifdef SYNC_FILE_RANGE_WRITE
    const unsigned flags =
        wait ? SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER : SYNC_FILE_RANGE_WRITE;
    return ::sync_file_range(handle, static_cast<off_t>(from), static_cast<off_t>(length), flags) < 0 ? errno : 0;
#else
    static_cast<void>(handle);
    static_cast<void>(from);
    static_cast<void>(length);
    static_cast<void>(wait);
    return 0;
#endif
}

} // namespace lowio::medium
