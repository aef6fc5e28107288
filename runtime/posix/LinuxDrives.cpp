// The drive map of a Linux desktop, built from the mounts table: A: is the floppy, D: to Y:
// the removable media of the user, Z: the root. Readiness is read from the table at every
// access: after an unmount, creating a file in the bare mount-point directory would succeed
// silently and the data would land on the wrong disk.
#include "LinuxDrives.h"

#include "lowio/posix/MountTable.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace rt {

using lowio::MountEntry;
using lowio::readMounts;

namespace {

// The directory as the mounts table spells it: symbolic links resolved where possible.
std::string canonical(const std::string& directory) {
    char resolved[PATH_MAX];
    if (realpath(directory.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return directory;
}

bool isMountPoint(const std::vector<MountEntry>& mounts, const std::string& directory) {
    for (const MountEntry& entry : mounts) {
        if (entry.mountPoint == directory) {
            return true;
        }
    }
    return false;
}

// Mount points directly below /media/<user>/ or /run/media/<user>/, in mount-table order,
// each once, leaving out a mount of /dev/fd0 (that is drive A: whatever its place).
std::vector<std::string> userMedia(const LinuxMedia& media, const std::vector<MountEntry>& mounts) {
    std::vector<std::string> result;
    if (media.user.empty()) {
        return result;
    }
    const std::string prefixes[] = {"/media/" + media.user + "/", "/run/media/" + media.user + "/"};
    for (const MountEntry& entry : mounts) {
        for (const std::string& prefix : prefixes) {
            const bool below = entry.mountPoint.size() > prefix.size() &&
                               entry.mountPoint.compare(0, prefix.size(), prefix) == 0 &&
                               entry.mountPoint.find('/', prefix.size()) == std::string::npos;
            bool seen = false;
            for (const std::string& known : result) {
                seen = seen || known == entry.mountPoint;
            }
            if (below && entry.device != "/dev/fd0" && !seen) {
                result.push_back(entry.mountPoint);
            }
        }
    }
    return result;
}

bool floppySized(const LinuxMedia& media, const std::string& directory) {
    const std::optional<unsigned long long> size = media.sizeOf ? media.sizeOf(directory) : std::nullopt;
    return size && *size > 0 && *size <= kLargestFloppyBytes;
}

// The floppy's mount point right now. A medium in `lettered` has a letter of its own (a second
// USB floppy drive's disk, say), so A: never lands on it after its own disk came out.
std::optional<std::string> floppyMountPoint(const LinuxMedia& media, const std::vector<std::string>& lettered) {
    const std::vector<MountEntry> mounts = readMounts(media.mountsFile);
    // The last entry wins: a later mount hides an earlier one on the same device.
    std::optional<std::string> found;
    for (const MountEntry& entry : mounts) {
        if (entry.device == "/dev/fd0") {
            found = entry.mountPoint;
        }
    }
    if (found) {
        return found;
    }
    for (const char* directory : {"/media/floppy0", "/media/floppy"}) {
        if (isMountPoint(mounts, directory)) {
            return std::string(directory);
        }
    }
    // A USB floppy drive is a SCSI disk like any stick, and the desktop mounts its disk under
    // the disk's label; only the size tells a diskette. Each new disk is found anew, whatever
    // its label.
    for (const std::string& directory : userMedia(media, mounts)) {
        if (floppySized(media, directory) && std::find(lettered.begin(), lettered.end(), directory) == lettered.end()) {
            return directory;
        }
    }
    return std::nullopt;
}

// A USB floppy drive speaks the UFI command set, subclass 04 of the mass-storage interface
// that the SCSI disk hangs from; a card reader or a stick says 06. The drive counts with or
// without a disk in it.
bool usbFloppyDriveAttached(const std::string& blockDevices) {
    std::error_code error;
    for (const std::filesystem::directory_entry& disk : std::filesystem::directory_iterator(blockDevices, error)) {
        std::filesystem::path device = std::filesystem::canonical(disk.path() / "device", error);
        for (; !error && device.has_relative_path(); device = device.parent_path()) {
            std::ifstream subclass(device / "bInterfaceSubClass");
            std::string value;
            if (subclass >> value) {
                if (value == "04") {
                    return true;
                }
                break;
            }
        }
    }
    return false;
}

bool floppyDriveAttached(const LinuxMedia& media, const std::vector<std::string>& lettered) {
    struct stat info {};
    const bool builtIn = stat(media.floppyDevice.c_str(), &info) == 0 && S_ISBLK(info.st_mode);
    return builtIn || floppyMountPoint(media, lettered) || usbFloppyDriveAttached(media.blockDevices);
}

std::string effectiveUser() {
    if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr) {
        return entry->pw_name;
    }
    const char* name = std::getenv("USER");
    return name != nullptr ? name : "";
}

} // namespace

DriveMap::Resolver mountPointResolver(std::string directory, std::string mountsFile) {
    return [directory = std::move(directory), mountsFile = std::move(mountsFile)]() -> std::optional<std::string> {
        if (isMountPoint(readMounts(mountsFile), canonical(directory))) {
            return directory;
        }
        return std::nullopt;
    };
}

LinuxMedia LinuxMedia::ofThisProcess() {
    LinuxMedia media;
    media.user = effectiveUser();
    media.sizeOf = [](const std::string& directory) -> std::optional<unsigned long long> {
        struct statvfs info {};
        if (statvfs(directory.c_str(), &info) != 0) {
            return std::nullopt;
        }
        return static_cast<unsigned long long>(info.f_blocks) * info.f_frsize;
    };
    return media;
}

DriveMap linuxDriveMap(const LinuxMedia& media) {
    // Every medium but the one A: stands for now gets the next of D: to Y:, a second diskette
    // too (two USB floppy drives, or /dev/fd0 beside one), so that each can be chosen.
    const std::optional<std::string> floppy = floppyMountPoint(media, {});
    DriveMap map;
    std::vector<std::string> lettered;
    for (const std::string& medium : userMedia(media, readMounts(media.mountsFile))) {
        if (medium != floppy && lettered.size() < 'Y' - 'D' + 1) {
            lettered.push_back(medium);
        }
    }
    map.setDrive(
        'A', [media, lettered] { return floppyMountPoint(media, lettered); },
        [media, lettered] { return floppyDriveAttached(media, lettered); });
    char letter = 'D';
    for (const std::string& medium : lettered) {
        map.setDrive(letter++, mountPointResolver(medium, media.mountsFile));
    }
    map.setFixedDrive('Z', "/");
    return map;
}

DriveMap DriveMap::hostDefault() {
    return linuxDriveMap();
}

} // namespace rt
