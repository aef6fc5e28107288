// Telling a swappable medium from a fixed folder, from the mount table alone.
#include "Media.h"
#include "reassembler/ReassemblerHost.h"

#include <sys/stat.h>

#include <string_view>

namespace quil {

namespace {

bool isAtOrBelow(const std::string& path, const std::string& mountPoint) {
    if (mountPoint == "/") {
        return true;
    }
    return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

bool isExchangeableMedium(const std::string& folder, const std::vector<lowio::MountEntry>& mounts) {
    const lowio::MountEntry* containing = nullptr;
    // Later entries stack over earlier ones at the same place; the longest mount point wins.
    for (const lowio::MountEntry& entry : mounts) {
        if (isAtOrBelow(folder, entry.mountPoint) &&
            (containing == nullptr || entry.mountPoint.size() >= containing->mountPoint.size())) {
            containing = &entry;
        }
    }
    if (containing == nullptr || containing->mountPoint == "/") {
        return false;
    }
    return containing->mountPoint == folder || startsWith(containing->device, "/dev/fd") ||
           startsWith(containing->mountPoint, "/media/") || startsWith(containing->mountPoint, "/run/media/");
}

bool sameFileSystem(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev;
}

namespace host {

bool isExchangeableMedium(const std::string& folder) {
    return quil::isExchangeableMedium(folder, lowio::readMounts());
}

bool sameFileSystem(const std::string& first, const std::string& second) {
    return quil::sameFileSystem(first, second);
}

} // namespace host

} // namespace quil
