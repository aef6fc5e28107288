// Error numbers for failures on paths, telling a missing file from a missing folder.
#include "PathErrors.h"

#include "core/DosPath.h"
#include "runtime/posix/PosixErrors.h"

#include <cerrno>
#include <sys/stat.h>

namespace rt::posix {

namespace {

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

void raiseForPath(int err, const std::string& path) {
    if (err == ENOENT && !isFolder(core::dospath::parentFolder(path))) {
        raiseErrno(err, ErrnoSubject::Folder);
    }
    raiseErrno(err, ErrnoSubject::File);
}

std::string baseName(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    return core::dospath::lastComponent(trimmed, "/");
}

} // namespace rt::posix
