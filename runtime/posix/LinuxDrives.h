// The drive letters of a Linux desktop, read from the mounts table.
#pragma once

#include "runtime/DriveMap.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rt {

// What the drive map reads of the host; tests give their own mounts table, user and sizes.
struct LinuxMedia {
    std::string mountsFile = "/proc/self/mounts";
    // The user whose desktop mounts media below /media/<user>/ and /run/media/<user>/.
    std::string user;
    // The size in bytes of the file system mounted on a directory; nothing when unknown.
    std::function<std::optional<unsigned long long>(const std::string& directory)> sizeOf;
    // Where a built-in floppy drive and the block devices (USB floppy drives among them) show.
    std::string floppyDevice = "/dev/fd0";
    std::string blockDevices = "/sys/block";

    // The running process's view: the real mounts table, the effective user, statvfs.
    static LinuxMedia ofThisProcess();
};

// A disk of floppy size: the largest diskette holds 2.88 MB, a stick or card far more.
inline constexpr unsigned long long kLargestFloppyBytes = 2880ULL * 1024;

// A: the floppy, looked up at each access: the mount of /dev/fd0, else /media/floppy0 or
// /media/floppy when mounted, else a medium of floppy size mounted directly below the user's
// media folders (a USB floppy drive, whatever its device and its disk's label) that has no letter
// of its own. D: onwards are the other removable media mounted when the map is made, a second
// diskette among them, each ready only while its medium is still mounted there: a letter never
// moves on to another stick, so data cannot land on the wrong medium. Z: is the root. A: has a device when /dev/fd0 is
// a block device, a diskette is mounted, or a USB floppy drive is plugged in (its interface's subclass is UFI), disk or
// not.
DriveMap linuxDriveMap(const LinuxMedia& media = LinuxMedia::ofThisProcess());

// A drive that is ready only while the directory is a mount point in the mounts table (looked
// up at each access), so that nothing lands in the bare directory after an unmount.
DriveMap::Resolver mountPointResolver(std::string directory, std::string mountsFile = "/proc/self/mounts");

} // namespace rt
