// The injected failures: plain globals, because the program has one thread.
#include "InjectedFaults.h"

namespace testing_support {

lowio::SystemError& injectedFlushFailure() {
    static lowio::SystemError failure = 0;
    return failure;
}

lowio::SystemError& injectedWritebackFailure() {
    static lowio::SystemError failure = 0;
    return failure;
}

} // namespace testing_support
