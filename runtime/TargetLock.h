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

// The locks every real run of the program shares, on every host: two programs started by the
// user meet here.
inline constexpr const char* kProgramLockSpace = "splitwerk99-target";

// Takes the lock named by key (any text: a drive, a folder's identity) in the given space;
// nothing when another process (or another lock in this one) holds it already. An empty space
// is this process's own: runs that are not the user's (tests, tools) never meet a real run there.
std::unique_ptr<TargetLock> lockTarget(const std::string& space, const std::string& key);

} // namespace rt
