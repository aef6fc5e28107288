// fsync and sync_file_range, alone in this file so that tests can link their own (see
// MediumCalls.h).
#include "lowio/MediumCalls.h"

#include "SyncRange.h"

#include <unistd.h>

namespace lowio::medium {

SystemError syncFile(NativeHandle handle) {
    return ::fsync(handle) < 0 ? errno : 0;
}

SystemError startRangeWrite(NativeHandle handle, std::int64_t from, std::int64_t length) {
    return syncRange(handle, from, length, false);
}

} // namespace lowio::medium
