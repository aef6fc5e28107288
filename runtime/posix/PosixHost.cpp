// The POSIX host's services.
#include "runtime/Host.h"

#include "PosixFileSystem.h"
#include "XdgSendTo.h"

namespace rt {

std::unique_ptr<FileSystem> makeHostFileSystem() {
    return std::make_unique<PosixFileSystem>();
}

std::unique_ptr<ShellLink> makeHostShellLink(const DriveMap& drives) {
    return std::make_unique<XdgSendTo>(drives);
}

// A missing floppy is ENOMEDIUM or an unmounted drive here; no system ever asks for it.
void suppressSystemErrorBoxes() {}

} // namespace rt
