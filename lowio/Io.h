// The low-level I/O layer under the runtime and the reassembler: a handle that closes itself,
// a write that writes everything or says why not, reads that fill their buffer, the flush to
// the medium and the early writeback. Failures come back as the host's own error code
// (errno on POSIX, GetLastError on Windows), 0 for success; the callers turn them into their
// own messages.
#pragma once

#include "NativeHandle.h"

#include <cstddef>
#include <cstdint>

namespace lowio {

using SystemError = int;

// Owns a handle and closes it when it goes, unless it was handed on.
class Handle {
public:
    Handle() = default;
    explicit Handle(NativeHandle handle) : handle_(handle) {}
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept : handle_(other.release()) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    NativeHandle get() const { return handle_; }
    bool valid() const { return handle_ != kNoHandle; }
    NativeHandle release() {
        const NativeHandle handle = handle_;
        handle_ = kNoHandle;
        return handle;
    }
    void reset(NativeHandle handle = kNoHandle);
    // Closes now and reports what the close said; the handle is gone either way.
    SystemError close();

private:
    NativeHandle handle_ = kNoHandle;
};

// Writes every byte or reports why not; `written` says how many went in. A write that takes no
// byte at all counts as a full medium.
SystemError writeAll(NativeHandle handle, const char* data, std::size_t size, std::size_t& written);

// Reads from a 0-based offset until the buffer is full or the file ends; `done` says how many
// bytes were read. The handle's own position is not used.
SystemError readAt(NativeHandle handle, std::int64_t offset, char* buffer, std::size_t size, std::size_t& done);

// Reads what the next read gives at the handle's position (0 at the end of the file).
SystemError readSome(NativeHandle handle, char* buffer, std::size_t size, std::size_t& got);

// Copies everything from the position of `from` to that of `to`.
SystemError copyAll(NativeHandle from, NativeHandle to);

// Brings what was written to the medium and reports what the medium says. A handle that cannot
// be flushed at all (a pipe) is no error.
SystemError flush(NativeHandle handle);

// Moves the handle's position to a 0-based offset, or tells where it stands.
SystemError seekTo(NativeHandle handle, std::int64_t position);
SystemError positionOf(NativeHandle handle, std::int64_t& position);
// The file's length as it is now.
SystemError lengthOf(NativeHandle handle, std::int64_t& length);

// Writes the file's length back to `length`, dropping everything after it.
SystemError truncate(NativeHandle handle, std::int64_t length);

// Starts writing a range of the file to the medium without waiting for it.
SystemError startWriteback(NativeHandle handle, std::int64_t from, std::int64_t length);

// Waits until a range of the file, its writeback already started, is on the medium, and then
// lets the system drop those pages from its cache.
SystemError settleWritten(NativeHandle handle, std::int64_t from, std::int64_t length);

// Hands written data to the medium while the file is still being written, in whole pages and
// steps of a MiB, without waiting; and once the file is a good way past a range, waits for that
// range and lets its pages go, unless they are to be kept for reading back. A failure of either
// is kept until the caller asks for it (after the flush, which normally reports the same failure
// itself).
class Writeback {
public:
    enum class WrittenPages { Released, Kept };
    explicit Writeback(WrittenPages pages = WrittenPages::Released) : releasePages_(pages == WrittenPages::Released) {}

    void wrote(NativeHandle handle, std::int64_t from, std::int64_t to);
    // The failure an earlier writeback met, once; 0 when there was none.
    SystemError takeError() {
        const SystemError error = error_;
        error_ = 0;
        return error;
    }

private:
    void keep(SystemError error) {
        if (error != 0 && error_ == 0) {
            error_ = error;
        }
    }

    std::int64_t unsentFrom_ = 0;
    std::int64_t unsentTo_ = 0;
    std::int64_t unsettledFrom_ = 0;
    bool releasePages_;
    SystemError error_ = 0;
};

// The chunk buffer of the copy run and the reassembler. It starts on a page: the kernel copies
// between whole pages of its cache and this buffer, and on some processors such a copy is
// several times slower into or out of a buffer that starts just past a page boundary, as a
// large heap block does.
inline constexpr std::size_t kChunkBufferSize = 131072;
struct alignas(4096) ChunkBuffer {
    char bytes[kChunkBufferSize];
};

} // namespace lowio
