// The low-level I/O layer on Windows. A write that reports success with a short count (Wine
// does so when the medium fills) is continued like a short write on POSIX, and a write that
// takes nothing at all counts as a full medium.
#include "lowio/Io.h"
#include "lowio/MediumCalls.h"

#include <windows.h>

#include <limits>

namespace lowio {

namespace {

constexpr DWORD kLargestRequest = 1u << 30;

DWORD requestSize(std::size_t size) {
    return size > kLargestRequest ? kLargestRequest : static_cast<DWORD>(size);
}

SystemError lastError() {
    return static_cast<SystemError>(::GetLastError());
}

} // namespace

void Handle::reset(NativeHandle handle) {
    if (handle_ != kNoHandle) {
        ::CloseHandle(handle_);
    }
    handle_ = handle;
}

SystemError Handle::close() {
    const NativeHandle handle = release();
    if (handle != kNoHandle && !::CloseHandle(handle)) {
        return lastError();
    }
    return 0;
}

SystemError writeAll(NativeHandle handle, const char* data, std::size_t size, std::size_t& written) {
    written = 0;
    while (written < size) {
        DWORD count = 0;
        if (!::WriteFile(handle, data + written, requestSize(size - written), &count, nullptr)) {
            return lastError();
        }
        if (count == 0) {
            return ERROR_DISK_FULL;
        }
        written += count;
    }
    return 0;
}

SystemError readAt(NativeHandle handle, std::int64_t offset, char* buffer, std::size_t size, std::size_t& done) {
    done = 0;
    while (done < size) {
        OVERLAPPED at{};
        const auto position = static_cast<std::uint64_t>(offset) + done;
        at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        DWORD count = 0;
        const DWORD request = requestSize(size - done);
        if (!::ReadFile(handle, buffer + done, request, &count, &at)) {
            const SystemError error = lastError();
            return error == ERROR_HANDLE_EOF ? 0 : error;
        }
        done += count;
        // A disk file gives less than asked only at its end. Asking again there would be
        // refused on a handle that reads past the cache, which takes whole sectors only.
        if (count < request) {
            break;
        }
    }
    return 0;
}

SystemError readSome(NativeHandle handle, char* buffer, std::size_t size, std::size_t& got) {
    DWORD count = 0;
    if (!::ReadFile(handle, buffer, requestSize(size), &count, nullptr)) {
        got = 0;
        const SystemError error = lastError();
        return error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE ? 0 : error;
    }
    got = count;
    return 0;
}

SystemError flush(NativeHandle handle) {
    // A handle that cannot be flushed at all (a pipe, a console) is no error.
    const SystemError error = medium::syncFile(handle);
    return error == ERROR_INVALID_HANDLE || error == ERROR_INVALID_FUNCTION ? 0 : error;
}

SystemError seekTo(NativeHandle handle, std::int64_t position) {
    LARGE_INTEGER at{};
    at.QuadPart = position;
    return ::SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) ? 0 : lastError();
}

SystemError positionOf(NativeHandle handle, std::int64_t& position) {
    LARGE_INTEGER none{};
    LARGE_INTEGER at{};
    if (!::SetFilePointerEx(handle, none, &at, FILE_CURRENT)) {
        return lastError();
    }
    position = at.QuadPart;
    return 0;
}

SystemError lengthOf(NativeHandle handle, std::int64_t& length) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle, &size)) {
        return lastError();
    }
    length = size.QuadPart;
    return 0;
}

SystemError truncate(NativeHandle handle, std::int64_t length) {
    LARGE_INTEGER position{};
    LARGE_INTEGER at{};
    at.QuadPart = 0;
    if (!::SetFilePointerEx(handle, at, &position, FILE_CURRENT)) {
        return lastError();
    }
    at.QuadPart = length;
    if (!::SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle)) {
        return lastError();
    }
    ::SetFilePointerEx(handle, position, nullptr, FILE_BEGIN);
    return 0;
}

// Windows writes back on its own and has no call to start it early; the flush does the rest.
SystemError startWriteback(NativeHandle handle, std::int64_t from, std::int64_t length) {
    return medium::startRangeWrite(handle, from, length);
}

// Nor one to wait for a range; the cache manager keeps its own pace.
SystemError settleWritten(NativeHandle, std::int64_t, std::int64_t) {
    return 0;
}

} // namespace lowio
