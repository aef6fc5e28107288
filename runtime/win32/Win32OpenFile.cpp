// The Windows half of the host's open file.
#include "Win32OpenFile.h"

#include "NtFileInformation.h"
#include "Win32Errors.h"
#include "runtime/NativeOpenFile.h"
#include "runtime/RuntimeError.h"

#include <windows.h>

namespace rt {

namespace win32 {

namespace {

// Between the FILETIME epoch (1601) and 1970, in 100-nanosecond ticks.
constexpr int64_t kTicksTo1970 = 116444736000000000;

} // namespace

int64_t nanosecondsSince1970(FileTimeParts fileTime) {
    const auto ticks = static_cast<int64_t>((static_cast<uint64_t>(fileTime.high) << 32) | fileTime.low);
    return (ticks - kTicksTo1970) * 100;
}

core::FileIdentity identityOfHandle(lowio::NativeHandle handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) {
        raiseWin32(::GetLastError());
    }
    core::FileIdentity id;
    id.device = info.dwVolumeSerialNumber;
    id.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.size = static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    id.modifiedNs = nanosecondsSince1970({info.ftLastWriteTime.dwLowDateTime, info.ftLastWriteTime.dwHighDateTime});
    // Kept by NTFS (and by Wine, from the host's inode), offered on XP by ntdll alone.
    id.changedNs = changeTimeOf(handle);
    return id;
}

} // namespace win32

core::FileIdentity NativeOpenFile::identity() {
    return win32::identityOfHandle(handle_.get());
}

void raiseSystemError(lowio::SystemError error) {
    win32::raiseWin32(static_cast<DWORD>(error));
}

void raiseWriteError(lowio::NativeHandle handle, lowio::SystemError error, int64_t wantedLength) {
    // Windows' FAT driver keeps a file's size in 32 bits and refuses a write past 4 GiB - 1 byte
    // with STATUS_DISK_FULL, which reaches us as ERROR_DISK_FULL however much room the medium
    // has left. Only the file's end and the volume's file system tell the two apart.
    constexpr int64_t kLargestFatFile = 0xFFFFFFFF;
    const auto code = static_cast<DWORD>(error);
    if ((code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) && wantedLength > kLargestFatFile &&
        win32::onFatVolume(handle)) {
        raise(kFileTooLarge);
    }
    win32::raiseWin32(code);
}

std::string bytesAt(lowio::NativeHandle handle, int64_t offset, std::size_t size) {
    // Files are opened for reading as well, so the bytes come through the handle itself (the
    // caller puts its position back).
    std::string bytes(size, '\0');
    std::size_t done = 0;
    if (lowio::readAt(handle, offset, bytes.data(), size, done) != 0) {
        return {};
    }
    bytes.resize(done);
    return bytes;
}

} // namespace rt
