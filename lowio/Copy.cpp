// Copying from one handle to another, the same on every host: the reads and writes below it
// are the host's.
#include "Io.h"

namespace lowio {

SystemError copyAll(NativeHandle from, NativeHandle to) {
    char buffer[64 * 1024];
    for (;;) {
        std::size_t got = 0;
        if (const SystemError error = readSome(from, buffer, sizeof buffer, got); error != 0) {
            return error;
        }
        if (got == 0) {
            return 0;
        }
        std::size_t written = 0;
        if (const SystemError error = writeAll(to, buffer, got, written); error != 0) {
            return error;
        }
    }
}

} // namespace lowio
