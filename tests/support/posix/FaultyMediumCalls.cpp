// The test programs' fsync and sync_file_range: the system's, unless a test injected a failure.
// Linked as an object ahead of the library, so the library's own calls are never taken.
#include "lowio/MediumCalls.h"
#include "lowio/posix/SyncRange.h"
#include "support/InjectedFaults.h"

#include <unistd.h>

namespace lowio::medium {

SystemError syncFile(NativeHandle handle) {
    if (const SystemError injected = testing_support::injectedFlushFailure(); injected != 0) {
        return injected;
    }
    return ::fsync(handle) < 0 ? errno : 0;
}

SystemError startRangeWrite(NativeHandle handle, std::int64_t from, std::int64_t length) {
    if (const SystemError injected = testing_support::injectedWritebackFailure(); injected != 0) {
        return injected;
    }
    return syncRange(handle, from, length, false);
}

// A medium that refuses the early writeback refuses the wait for it as well.
SystemError finishRangeWrite(NativeHandle handle, std::int64_t from, std::int64_t length) {
    if (const SystemError injected = testing_support::injectedWritebackFailure(); injected != 0) {
        return injected;
    }
    return syncRange(handle, from, length, true);
}

} // namespace lowio::medium
