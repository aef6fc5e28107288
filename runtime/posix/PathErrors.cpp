// Error numbers for failures on paths, telling a missing file from a missing folder.
#include "PathErrors.h"

#include "runtime/RuntimeError.h"

#include <cerrno>
#include <sys/stat.h>

namespace rt::posix {

namespace {

std::string parentOf(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    const std::size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : trimmed.substr(0, slash);
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

void raiseForPath(int err, const std::string& path) {
    if (err == ENOENT && !isFolder(parentOf(path))) {
        raiseErrno(err, ErrnoSubject::Folder);
    }
    raiseErrno(err, ErrnoSubject::File);
}

std::string baseName(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    const std::size_t slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

} // namespace rt::posix
