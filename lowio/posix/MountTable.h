// The mounts table of Linux, read by the drive map (which medium is where) and by the
// reassembler (whether its parts lie on a medium the user will swap).
#pragma once

#include <string>
#include <vector>

namespace lowio {

struct MountEntry {
    std::string device;
    std::string mountPoint;
};

// The mount points of a table in /proc/self/mounts format, in its order, octal escapes decoded.
std::vector<MountEntry> readMounts(const std::string& mountsFile = "/proc/self/mounts");

} // namespace lowio
