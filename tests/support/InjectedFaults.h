// Makes the medium refuse flushes or early writebacks for the life of one object, so that a
// test cannot leave the failure behind for the next one.
#pragma once

#include "lowio/FaultInjection.h"

namespace testing_support {

class InjectedFaults {
public:
    InjectedFaults() = default;
    ~InjectedFaults() { clear(); }
    InjectedFaults(const InjectedFaults&) = delete;
    InjectedFaults& operator=(const InjectedFaults&) = delete;

    void failFlushes(lowio::SystemError error) { lowio::failFlushesWith(error); }
    void failWritebacks(lowio::SystemError error) { lowio::failWritebacksWith(error); }
    void clear() {
        lowio::failFlushesWith(0);
        lowio::failWritebacksWith(0);
    }
};

} // namespace testing_support
