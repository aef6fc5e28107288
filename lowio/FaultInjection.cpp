// The injected failures: plain globals, because the program has one thread.
#include "FaultInjection.h"

namespace lowio {

namespace {
SystemError flushFailure = 0;
SystemError writebackFailure = 0;
} // namespace

void failFlushesWith(SystemError error) {
    flushFailure = error;
}

void failWritebacksWith(SystemError error) {
    writebackFailure = error;
}

namespace detail {

SystemError injectedFlushFailure() {
    return flushFailure;
}

SystemError injectedWritebackFailure() {
    return writebackFailure;
}

} // namespace detail

} // namespace lowio
