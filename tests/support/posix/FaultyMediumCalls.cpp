// The test programs' fsync and sync_file_range: the system's, unless a test injected a failure.
// Linked as an object ahead of the library, so the library's own pair is never taken.
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
    const SystemError injected = testing_support::injectedWritebackFailure();
    return injected != 0 ? injected : syncRange(handle, from, length, false);
}

} // namespace lowio::medium
