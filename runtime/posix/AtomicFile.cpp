// Atomic replacement of small files (the Send To entries).
#include "AtomicFile.h"

#include "lowio/Io.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace rt::posix {

bool makeFolders(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    std::size_t at = 1;
    while (at <= path.size()) {
        const std::size_t slash = path.find('/', at);
        const std::string part = path.substr(0, slash == std::string::npos ? path.size() : slash);
        // The XDG rules: a folder made for the user's data is the user's alone. One that is
        // there already keeps its mode.
        if (::mkdir(part.c_str(), 0700) < 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
        at = slash + 1;
    }
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool replaceFileAtomically(const std::string& path, const std::string& contents, mode_t mode) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || !makeFolders(slash == 0 ? "/" : path.substr(0, slash))) {
        return false;
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    lowio::Handle file(fd);
    std::size_t written = 0;
    bool ok = lowio::writeAll(fd, contents.data(), contents.size(), written) == 0;
    ok = ::fchmod(fd, mode) == 0 && ok;
    ok = lowio::flush(fd) == 0 && ok;
    ok = file.close() == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
    }
    return ok;
}

} // namespace rt::posix
