// Makes the medium refuse flushes or early writebacks for the life of one object, so that a
// test cannot leave the failure behind for the next one. Every test program links its own
// medium calls (FaultyMediumCalls.cpp) ahead of the library's; they ask here first.
#pragma once

#include "lowio/Io.h"

namespace testing_support {

// The failure every flush, and every early writeback, meets from now on; 0 for none.
lowio::SystemError& injectedFlushFailure();
lowio::SystemError& injectedWritebackFailure();

class InjectedFaults {
public:
    InjectedFaults() = default;
    ~InjectedFaults() { clear(); }
    InjectedFaults(const InjectedFaults&) = delete;
    InjectedFaults& operator=(const InjectedFaults&) = delete;

    void failFlushes(lowio::SystemError error) { injectedFlushFailure() = error; }
    void failWritebacks(lowio::SystemError error) { injectedWritebackFailure() = error; }
    void clear() {
        injectedFlushFailure() = 0;
        injectedWritebackFailure() = 0;
    }
};

} // namespace testing_support
