// Files of the POSIX backend. A write either goes in completely or leaves the file exactly
// as it was: the copy run retries a refused chunk with half its size at the same position,
// so a partial chunk left behind would corrupt the part.
//
// Written data goes to the medium while the file is still being written: after each full
// page the writeback is started (not waited for). Closing flushes as before, but the flush
// then finds little left to do, instead of the whole part at once with the run standing still.
#include "PosixOpenFile.h"

#include "runtime/RuntimeError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace rt::posix {

namespace {

// Writeback is started in steps of this many bytes: large enough that the medium gets large
// requests, small enough that it never idles long while the run writes.
constexpr int64_t kWritebackStep = 1024 * 1024;
constexpr int64_t kPageSize = 4096;

int64_t pageStart(int64_t offset) {
    return offset - offset % kPageSize;
}

} // namespace

int fullWrite(int fd, const char* data, std::size_t size, std::size_t& written) {
    written = 0;
    while (written < size) {
        const ssize_t count = ::write(fd, data + written, size - written);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (count == 0) {
            return ENOSPC;
        }
        written += static_cast<std::size_t>(count);
    }
    return 0;
}

namespace {

// Reads until the buffer is full or the file ends; the file position stays where it was.
std::size_t preadFully(int fd, int64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count =
            ::pread(fd, buffer + done, size - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            raiseErrno(errno);
        }
        if (count == 0) {
            break; // end of file: a short count, no error
        }
        done += static_cast<std::size_t>(count);
    }
    return done;
}

// The bytes a write into the middle of the file is about to overwrite. The descriptor itself
// may be write-only, so they are read through a second, read-only one; where the file cannot
// be read at all they are not kept (only the length is restored then).
std::string bytesToBeOverwritten(int fd, int64_t offset, std::size_t size) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const int reader = ::open(self.c_str(), O_RDONLY | O_CLOEXEC);
    if (reader < 0) {
        return {};
    }
    std::string bytes(size, '\0');
    try {
        bytes.resize(preadFully(reader, offset, bytes.data(), size));
    } catch (const RuntimeError&) {
        bytes.clear();
    }
    ::close(reader);
    return bytes;
}

} // namespace

PosixOpenFile::~PosixOpenFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::size_t PosixOpenFile::readAt(int64_t offset, char* buffer, std::size_t size) {
    const std::size_t done = preadFully(fd_, offset, buffer, size);
    if (::lseek(fd_, static_cast<off_t>(offset) + static_cast<off_t>(done), SEEK_SET) < 0) {
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
            fd_, positionBefore,
            static_cast<std::size_t>(std::min<int64_t>(lengthBefore - positionBefore, static_cast<int64_t>(size))));
    }
    written_ = true;
    std::size_t written = 0;
    const int err = fullWrite(fd_, data, size, written);
    if (err != 0) {
        if (written > 0) {
            restoreAfterFailedWrite(lengthBefore, positionBefore, overwritten);
        }
        raiseErrno(err);
    }
    startWriteback(positionBefore, positionBefore + static_cast<int64_t>(size));
}

// Hands the whole pages written so far to the medium without waiting; a partial last page
// waits for the next write (or the flush), so that no page goes out twice.
void PosixOpenFile::startWriteback(int64_t from, int64_t to) {
    if (from != unsentTo_) {
        unsentFrom_ = pageStart(from);
    }
    unsentTo_ = to;
    const int64_t end = pageStart(unsentTo_);
    if (end - unsentFrom_ < kWritebackStep) {
        return;
    }
#ifdef SYNC_FILE_RANGE_WRITE
    if (::sync_file_range(fd_, static_cast<off_t>(unsentFrom_), static_cast<off_t>(end - unsentFrom_),
                          SYNC_FILE_RANGE_WRITE) < 0 &&
        writebackError_ == 0 && errno != EINVAL && errno != ESPIPE && errno != ENOSYS && errno != EOPNOTSUPP) {
        writebackError_ = errno;
    }
#endif
    unsentFrom_ = end;
}

void PosixOpenFile::restoreAfterFailedWrite(int64_t lengthBefore, int64_t positionBefore,
                                            const std::string& overwritten) {
    // Best effort: the caller reports the original failure in any case. Putting back the old
    // bytes needs no new room on the medium, and cutting the file back frees what was taken.
    if (!overwritten.empty()) {
        while (::pwrite(fd_, overwritten.data(), overwritten.size(), static_cast<off_t>(positionBefore)) < 0 &&
               errno == EINTR) {
        }
    }
    while (::ftruncate(fd_, static_cast<off_t>(lengthBefore)) < 0 && errno == EINTR) {
    }
    ::lseek(fd_, static_cast<off_t>(positionBefore), SEEK_SET);
}

int64_t PosixOpenFile::length() {
    struct stat info {};
    if (::fstat(fd_, &info) < 0) {
        raiseErrno(errno);
    }
    return static_cast<int64_t>(info.st_size);
}

int64_t PosixOpenFile::position() {
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0) {
        raiseErrno(errno);
    }
    return static_cast<int64_t>(at);
}

void PosixOpenFile::close() {
    if (fd_ < 0) {
        return;
    }
    if (written_) {
        // Removable media report many write errors only when the cache goes out; the user must
        // hear of them while the disk is still in the drive. The file stays open on failure so
        // that a retry flushes again. EINVAL: the file cannot be synced at all (a pipe, say).
        if (::fsync(fd_) < 0 && errno != EINVAL) {
            const int err = errno;
            writebackError_ = 0; // the same failure, now reported by the flush
            raiseErrno(err);
        }
        // The flush normally reports what went wrong on the way out; an early writeback that
        // failed before it is reported here in any case.
        if (writebackError_ != 0) {
            const int err = writebackError_;
            writebackError_ = 0;
            raiseErrno(err);
        }
        written_ = false;
    }
    const int fd = fd_;
    fd_ = -1;
    // Linux frees the descriptor even when close reports EINTR, so it is never retried.
    if (::close(fd) < 0 && errno != EINTR) {
        raiseErrno(errno);
    }
}

} // namespace rt::posix
