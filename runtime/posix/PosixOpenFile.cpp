// The POSIX half of the host's open file.
#include "PosixOpenFile.h"

#include "runtime/NativeOpenFile.h"
#include "runtime/posix/PosixErrors.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace rt {

namespace posix {

namespace {

int64_t nanoseconds(const struct timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + static_cast<int64_t>(time.tv_nsec);
}

} // namespace

core::FileIdentity identityOf(const struct stat& info) {
    core::FileIdentity id;
    id.device = static_cast<uint64_t>(info.st_dev);
    id.inode = static_cast<uint64_t>(info.st_ino);
    id.size = static_cast<int64_t>(info.st_size);
    id.modifiedNs = nanoseconds(info.st_mtim);
    id.changedNs = nanoseconds(info.st_ctim);
    return id;
}

} // namespace posix

core::FileIdentity NativeOpenFile::identity() {
    struct stat info {};
    if (::fstat(handle_.get(), &info) < 0) {
        raiseErrno(errno);
    }
    return posix::identityOf(info);
}

void raiseSystemError(lowio::SystemError error) {
    raiseErrno(error);
}

// EFBIG says it here, for a file system's limit and a process's alike.
void raiseWriteError(lowio::NativeHandle, lowio::SystemError error, int64_t) {
    raiseErrno(error);
}

std::string bytesAt(lowio::NativeHandle handle, int64_t offset, std::size_t size) {
    // The descriptor may be write-only, so the bytes are read through a second, read-only one.
    const std::string self = "/proc/self/fd/" + std::to_string(handle);
    const lowio::Handle reader(::open(self.c_str(), O_RDONLY | O_CLOEXEC));
    if (!reader.valid()) {
        return {};
    }
    std::string bytes(size, '\0');
    std::size_t done = 0;
    if (lowio::readAt(reader.get(), offset, bytes.data(), size, done) != 0) {
        return {};
    }
    bytes.resize(done);
    return bytes;
}

} // namespace rt
