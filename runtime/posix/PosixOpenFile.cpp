// Files of the POSIX backend. A write either goes in completely or leaves the file exactly
// as it was: the copy run retries a refused chunk with half its size at the same position,
// so a partial chunk left behind would corrupt the part.
//
// Written data goes to the medium while the file is still being written (the early
// writeback); closing flushes as before, but the flush then finds little left to do.
#include "PosixOpenFile.h"

#include "runtime/RuntimeError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace rt::posix {

namespace {

void raiseIfFailed(lowio::SystemError error) {
    if (error != 0) {
        raiseErrno(error);
    }
}

// The bytes a write into the middle of the file is about to overwrite. The descriptor itself
// may be write-only, so they are read through a second, read-only one; where the file cannot
// be read at all they are not kept (only the length is restored then).
std::string bytesToBeOverwritten(int fd, int64_t offset, std::size_t size) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
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

} // namespace

FileIdentity identityOf(const struct stat& info) {
    FileIdentity id;
    id.device = static_cast<uint64_t>(info.st_dev);
    id.inode = static_cast<uint64_t>(info.st_ino);
    id.size = static_cast<int64_t>(info.st_size);
    id.modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + static_cast<int64_t>(info.st_mtim.tv_nsec);
    return id;
}

std::size_t PosixOpenFile::readAt(int64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    raiseIfFailed(lowio::readAt(fd_.get(), offset, buffer, size, done));
    if (::lseek(fd_.get(), static_cast<off_t>(offset) + static_cast<off_t>(done), SEEK_SET) < 0) {
        raiseErrno(errno);
    }
    return done;
}

void PosixOpenFile::write(const char* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    const int64_t lengthBefore = length();
    // Appending writes at the end whatever the position says.
    const int64_t positionBefore = append_ ? lengthBefore : position();
    // Bytes that the write would overwrite, so that a failure can put them back. Only a write
    // into the middle of an existing file has any; the copy run always writes at the end.
    std::string overwritten;
    if (positionBefore < lengthBefore) {
        overwritten = bytesToBeOverwritten(
            fd_.get(), positionBefore,
            static_cast<std::size_t>(std::min<int64_t>(lengthBefore - positionBefore, static_cast<int64_t>(size))));
    }
    written_ = true;
    std::size_t written = 0;
    const lowio::SystemError err = lowio::writeAll(fd_.get(), data, size, written);
    if (err != 0) {
        if (written > 0) {
            restoreAfterFailedWrite(lengthBefore, positionBefore, overwritten);
        }
        raiseErrno(err);
    }
    writeback_.wrote(fd_.get(), positionBefore, positionBefore + static_cast<int64_t>(size));
}

void PosixOpenFile::restoreAfterFailedWrite(int64_t lengthBefore, int64_t positionBefore,
                                            const std::string& overwritten) {
    // Best effort: the caller reports the original failure in any case. Putting back the old
    // bytes needs no new room on the medium, and cutting the file back frees what was taken.
    if (!overwritten.empty()) {
        while (::pwrite(fd_.get(), overwritten.data(), overwritten.size(), static_cast<off_t>(positionBefore)) < 0 &&
               errno == EINTR) {
        }
    }
    static_cast<void>(lowio::truncate(fd_.get(), lengthBefore));
    ::lseek(fd_.get(), static_cast<off_t>(positionBefore), SEEK_SET);
}

int64_t PosixOpenFile::length() {
    return identity().size;
}

FileIdentity PosixOpenFile::identity() {
    struct stat info {};
    if (::fstat(fd_.get(), &info) < 0) {
        raiseErrno(errno);
    }
    return identityOf(info);
}

int64_t PosixOpenFile::position() {
    const off_t at = ::lseek(fd_.get(), 0, SEEK_CUR);
    if (at < 0) {
        raiseErrno(errno);
    }
    return static_cast<int64_t>(at);
}

void PosixOpenFile::close() {
    if (!fd_.valid()) {
        return;
    }
    if (written_) {
        // Removable media report many write errors only when the cache goes out; the user must
        // hear of them while the disk is still in the drive. The file stays open on failure so
        // that a retry flushes again.
        if (const lowio::SystemError err = lowio::flush(fd_.get()); err != 0) {
            static_cast<void>(writeback_.takeError()); // the same failure, now reported by the flush
            raiseErrno(err);
        }
        // The flush normally reports what went wrong on the way out; an early writeback that
        // failed before it is reported here in any case.
        raiseIfFailed(writeback_.takeError());
        written_ = false;
    }
    raiseIfFailed(fd_.close());
}

} // namespace rt::posix
