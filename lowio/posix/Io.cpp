// The low-level I/O layer on POSIX: EINTR is retried everywhere, short counts are continued.
#include "lowio/Io.h"
#include "lowio/MediumCalls.h"
#include "lowio/posix/SyncRange.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lowio {

// Files past 2 GiB are ordinary: a build whose offsets had 32 bits would cut their positions.
static_assert(sizeof(off_t) == 8, "64-bit file offsets (_FILE_OFFSET_BITS=64 on a 32-bit host)");

void Handle::reset(NativeHandle handle) {
    if (handle_ != kNoHandle) {
        ::close(handle_);
    }
    handle_ = handle;
}

SystemError Handle::close() {
    const NativeHandle handle = release();
    // Linux frees the descriptor even when close reports EINTR, so it is never retried.
    if (handle != kNoHandle && ::close(handle) < 0 && errno != EINTR) {
        return errno;
    }
    return 0;
}

SystemError writeAll(NativeHandle handle, const char* data, std::size_t size, std::size_t& written) {
    written = 0;
    while (written < size) {
        const ssize_t count = ::write(handle, data + written, size - written);
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

SystemError readAt(NativeHandle handle, std::int64_t offset, char* buffer, std::size_t size, std::size_t& done) {
    done = 0;
    while (done < size) {
        const ssize_t count =
            ::pread(handle, buffer + done, size - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (count == 0) {
            break; // the end of the file: a short count, no error
        }
        done += static_cast<std::size_t>(count);
    }
    return 0;
}

SystemError readSome(NativeHandle handle, char* buffer, std::size_t size, std::size_t& got) {
    for (;;) {
        const ssize_t count = ::read(handle, buffer, size);
        if (count >= 0) {
            got = static_cast<std::size_t>(count);
            return 0;
        }
        if (errno != EINTR) {
            got = 0;
            return errno;
        }
    }
}

SystemError flush(NativeHandle handle) {
    // EINVAL: the file cannot be synced at all (a pipe, say).
    const SystemError error = medium::syncFile(handle);
    return error == EINVAL ? 0 : error;
}

SystemError seekTo(NativeHandle handle, std::int64_t position) {
    return ::lseek(handle, static_cast<off_t>(position), SEEK_SET) < 0 ? errno : 0;
}

SystemError positionOf(NativeHandle handle, std::int64_t& position) {
    const off_t at = ::lseek(handle, 0, SEEK_CUR);
    if (at < 0) {
        return errno;
    }
    position = static_cast<std::int64_t>(at);
    return 0;
}

SystemError lengthOf(NativeHandle handle, std::int64_t& length) {
    struct stat info {};
    if (::fstat(handle, &info) < 0) {
        return errno;
    }
    length = static_cast<std::int64_t>(info.st_size);
    return 0;
}

SystemError truncate(NativeHandle handle, std::int64_t length) {
    while (::ftruncate(handle, static_cast<off_t>(length)) < 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

namespace {

// A file or a kernel that cannot write a range out on request is no error: the flush brings the
// data out anyway.
SystemError unlessUnsupported(SystemError error) {
    return error == EINVAL || error == ESPIPE || error == ENOSYS || error == EOPNOTSUPP ? 0 : error;
}

} // namespace

SystemError startWriteback(NativeHandle handle, std::int64_t from, std::int64_t length) {
    return unlessUnsupported(medium::startRangeWrite(handle, from, length));
}

SystemError settleWritten(NativeHandle handle, std::int64_t from, std::int64_t length) {
    // No test seam of its own: a test fails the early writeback, which always comes first.
    const SystemError error = unlessUnsupported(medium::syncRange(handle, from, length, true));
    // Pages that reached the medium are only cache now. Left in it, a long file fills the memory
    // with them, and the system must find a fresh page for every page written next, which on a
    // virtual machine that gave its free memory back to the host costs a fault in the host
    // each; dropped, the same pages serve the next range. After a failed wait nothing is dropped.
    if (error == 0) {
        static_cast<void>(
            ::posix_fadvise(handle, static_cast<off_t>(from), static_cast<off_t>(length), POSIX_FADV_DONTNEED));
    }
    return error;
}

} // namespace lowio
