// The drive letters of a Linux desktop, read from the mounts table.
#pragma once

#include "runtime/DriveMap.h"

#include <string>
#include <vector>

namespace rt {

// A: the floppy, looked up at each access. D: onwards are the removable media mounted when the
// map is made, each ready only while its medium is still mounted there: a letter never moves on
// to another stick, so data cannot land on the wrong medium. Z: is the root.
DriveMap linuxDriveMap();

// A drive that is ready only while the directory is a mount point in the mounts table (looked
// up at each access), so that nothing lands in the bare directory after an unmount.
DriveMap::Resolver mountPointResolver(std::string directory, std::string mountsFile = "/proc/self/mounts");

// Mount points from a mounts table in /proc/self/mounts format (octal escapes decoded).
struct MountEntry {
    std::string device;
    std::string mountPoint;
};
std::vector<MountEntry> readMounts(const std::string& mountsFile = "/proc/self/mounts");

} // namespace rt
