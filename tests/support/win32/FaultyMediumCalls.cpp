// The test programs' FlushFileBuffers: the system's, unless a test injected a failure; and an
// early writeback that fails only when a test says so. Linked as an object ahead of the
// library, so the library's own pair is never taken.
#include "lowio/MediumCalls.h"
#include "support/InjectedFaults.h"

#include <windows.h>

namespace lowio::medium {

SystemError syncFile(NativeHandle handle) {
    if (const SystemError injected = testing_support::injectedFlushFailure(); injected != 0) {
        return injected;
    }
    return ::FlushFileBuffers(handle) ? 0 : static_cast<SystemError>(::GetLastError());
}

SystemError startRangeWrite(NativeHandle, std::int64_t, std::int64_t) {
    return testing_support::injectedWritebackFailure();
}

} // namespace lowio::medium
