// FlushFileBuffers, alone in this file so that tests can link their own (see MediumCalls.h).
#include "lowio/MediumCalls.h"

#include <windows.h>

namespace lowio::medium {

SystemError syncFile(NativeHandle handle) {
    return ::FlushFileBuffers(handle) ? 0 : static_cast<SystemError>(::GetLastError());
}

// Windows has no request to start a writeback without waiting; the flush does it all.
SystemError startRangeWrite(NativeHandle, std::int64_t, std::int64_t) {
    return 0;
}

} // namespace lowio::medium
