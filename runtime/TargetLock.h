// One run per target: a run holds its target's lock from before its first write until the
// process ends. The system keeps the lock, not a file on the disk, so it goes with the process
// however that ends, and nothing is left behind on the medium.
#pragma once

#include <memory>
#include <string>

namespace rt {

class TargetLock {
public:
    virtual ~TargetLock() = default;
};

// Takes the lock named by key (any text: a drive, a folder's identity); nothing when another
// process (or another lock in this one) holds it already.
std::unique_ptr<TargetLock> lockTarget(const std::string& key);

} // namespace rt
