// A second processor's hands: work handed to it runs beside the caller's own. The recovery data
// takes one for its MD5, which alone costs as much as everything else its pass does.
#pragma once

#include <functional>

namespace core {

class Worker {
public:
    virtual ~Worker() = default;
    // Starts job beside the caller; at most one job at a time, and wait() before the next.
    virtual void start(std::function<void()> job) = 0;
    // Returns once the started job has finished.
    virtual void wait() = 0;
};

} // namespace core
