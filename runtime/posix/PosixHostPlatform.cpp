// The POSIX host's services.
#include "runtime/HostPlatform.h"

#include "PosixFileSystem.h"
#include "XdgSendTo.h"

#include <csignal>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace rt {

std::unique_ptr<FileSystem> makeHostFileSystem() {
    return std::make_unique<PosixFileSystem>();
}

std::unique_ptr<ShellLink> makeHostShellLink(const DriveMap& drives) {
    return std::make_unique<XdgSendTo>(drives);
}

// A missing floppy is ENOMEDIUM or an unmounted drive here; no system ever asks for it. A size
// limit of the process (ulimit -f) is met like FAT's 4 GiB: the part ends there, not the program.
void prepareProcess() {
    std::signal(SIGXFSZ, SIG_IGN);
}

std::optional<std::string> workingFolder() {
    std::vector<char> folder(4096);
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) {
            return std::nullopt;
        }
        folder.resize(folder.size() * 2);
    }
    return std::string(folder.data());
}

} // namespace rt
