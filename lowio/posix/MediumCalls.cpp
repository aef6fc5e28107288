// fsync and sync_file_range, alone in this file so that tests can link their own (see
// MediumCalls.h).
#include "lowio/MediumCalls.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace lowio::medium {

SystemError syncFile(NativeHandle handle) {
    return ::fsync(handle) < 0 ? errno : 0;
}

SystemError startRangeWrite(NativeHandle handle, std::int64_t from, std::int64_t length) {
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
