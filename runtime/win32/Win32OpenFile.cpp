// Files of the Windows backend. A write either goes in completely or leaves the file exactly
// as it was: the copy run retries a refused chunk with half its size at the same position, so
// a partial chunk left behind would corrupt the part. Windows may take part of a buffer before
// it reports the medium full (Wine reports a short count first and the failure only at the
// next call), so the file is cut back to its length before the write whenever a write fails.
#include "Win32OpenFile.h"

#include "Win32Errors.h"
#include "runtime/RuntimeError.h"

#include <windows.h>

#include <algorithm>

namespace rt::win32 {

namespace {

void raiseIfFailed(lowio::SystemError error) {
    if (error != 0) {
        raiseWin32(static_cast<DWORD>(error));
    }
}

// Between the FILETIME epoch (1601) and 1970, in 100-nanosecond ticks.
constexpr int64_t kTicksTo1970 = 116444736000000000;

} // namespace

int64_t nanosecondsSince1970(FileTimeParts fileTime) {
    const auto ticks = static_cast<int64_t>((static_cast<uint64_t>(fileTime.high) << 32) | fileTime.low);
    return (ticks - kTicksTo1970) * 100;
}

FileIdentity identityOfHandle(lowio::NativeHandle handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) {
        raiseWin32(::GetLastError());
    }
    FileIdentity id;
    id.device = info.dwVolumeSerialNumber;
    id.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.size = static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    id.modifiedNs = nanosecondsSince1970({info.ftLastWriteTime.dwLowDateTime, info.ftLastWriteTime.dwHighDateTime});
    return id;
}

void Win32OpenFile::moveTo(int64_t position) {
    LARGE_INTEGER at{};
    at.QuadPart = position;
    if (!::SetFilePointerEx(handle_.get(), at, nullptr, FILE_BEGIN)) {
        raiseWin32(::GetLastError());
    }
}

std::size_t Win32OpenFile::readAt(int64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    raiseIfFailed(lowio::readAt(handle_.get(), offset, buffer, size, done));
    moveTo(offset + static_cast<int64_t>(done));
    return done;
}

void Win32OpenFile::write(const char* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    const int64_t lengthBefore = length();
    if (append_) {
        moveTo(lengthBefore);
    }
    const int64_t positionBefore = position();
    // Bytes that the write would overwrite, so that a failure can put them back. Only a write
    // into the middle of an existing file has any; the copy run always writes at the end. The
    // handle is open for reading as well, so they are read through it.
    std::string overwritten;
    if (positionBefore < lengthBefore) {
        overwritten.resize(
            static_cast<std::size_t>(std::min<int64_t>(lengthBefore - positionBefore, static_cast<int64_t>(size))));
        std::size_t done = 0;
        if (lowio::readAt(handle_.get(), positionBefore, overwritten.data(), overwritten.size(), done) != 0) {
            done = 0; // not kept: only the length is restored then
        }
        overwritten.resize(done);
        moveTo(positionBefore);
    }
    std::size_t written = 0;
    const lowio::SystemError err = lowio::writeAll(handle_.get(), data, size, written);
    // Only a file that took bytes has anything to flush; a write refused outright (a file open
    // for reading only, say) leaves nothing for the close to report.
    written_ = written_ || written > 0;
    if (err != 0) {
        if (written > 0) {
            restoreAfterFailedWrite(lengthBefore, positionBefore, overwritten);
        }
        raiseWin32(static_cast<DWORD>(err));
    }
    writeback_.wrote(handle_.get(), positionBefore, positionBefore + static_cast<int64_t>(size));
}

void Win32OpenFile::restoreAfterFailedWrite(int64_t lengthBefore, int64_t positionBefore,
                                            const std::string& overwritten) {
    // Best effort: the caller reports the original failure in any case. Putting back the old
    // bytes needs no new room on the medium, and cutting the file back frees what was taken.
    LARGE_INTEGER at{};
    at.QuadPart = positionBefore;
    if (!overwritten.empty() && ::SetFilePointerEx(handle_.get(), at, nullptr, FILE_BEGIN)) {
        std::size_t ignored = 0;
        static_cast<void>(lowio::writeAll(handle_.get(), overwritten.data(), overwritten.size(), ignored));
    }
    static_cast<void>(lowio::truncate(handle_.get(), lengthBefore));
    ::SetFilePointerEx(handle_.get(), at, nullptr, FILE_BEGIN);
}

int64_t Win32OpenFile::length() {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_.get(), &size)) {
        raiseWin32(::GetLastError());
    }
    return size.QuadPart;
}

int64_t Win32OpenFile::position() {
    LARGE_INTEGER none{};
    LARGE_INTEGER at{};
    if (!::SetFilePointerEx(handle_.get(), none, &at, FILE_CURRENT)) {
        raiseWin32(::GetLastError());
    }
    return at.QuadPart;
}

FileIdentity Win32OpenFile::identity() {
    return identityOfHandle(handle_.get());
}

void Win32OpenFile::close() {
    if (!handle_.valid()) {
        return;
    }
    if (written_) {
        // Removable media report many write errors only when the cache goes out; the user must
        // hear of them while the disk is still in the drive. The file stays open on failure so
        // that a retry flushes again.
        if (const lowio::SystemError err = lowio::flush(handle_.get()); err != 0) {
            static_cast<void>(writeback_.takeError()); // the same failure, now reported by the flush
            raiseWin32(static_cast<DWORD>(err));
        }
        raiseIfFailed(writeback_.takeError());
        written_ = false;
    }
    raiseIfFailed(handle_.close());
}

} // namespace rt::win32
