// The test programs' fsync and sync_file_range: the system's, unless a test injected a failure.
// Linked as an object ahead of the library, so the library's own pair is never taken.
#include "lowio/MediumCalls.h"
#include "support/InjectedFaults.h"

#include <cerrno>
#include <fcntl.h>
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
#ifdef SYNC_FILE_RANGE_WRITE
    return ::sync_file_range(handle, static_cast<off_t>(from), static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE) < 0
               ? errno
               : 0;
#else
    static_cast<void>(handle);
    static_cast<void>(from);
    static_cast<void>(length);
    return 0;
#endif
}

} // namespace lowio::medium
