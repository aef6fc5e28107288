// The one table from GetLastError codes to the program's error numbers. It follows the errno
// table: what the copy run recovers from (61 full, 71 not ready) must be recognised exactly,
// and everything without a better word is 75.
#include "Win32Errors.h"

#include "runtime/RuntimeError.h"

#include <windows.h>

namespace rt::win32 {

namespace {

// Missing from mingw-w64's headers; the value is the one Windows documents.
constexpr DWORD kDiskQuotaExceeded = 1295; // ERROR_DISK_QUOTA_EXCEEDED

struct Mapping {
    DWORD code;
    int number;
};

constexpr Mapping kTable[] = {
    // No room: the disk-full dialog asks for the next disk.
    {ERROR_DISK_FULL, kDiskFull},
    {ERROR_HANDLE_DISK_FULL, kDiskFull},
    {kDiskQuotaExceeded, kDiskFull},
    // This one file can grow no further (Wine reports EFBIG so; a share may say it too). FAT on
    // Windows itself says ERROR_DISK_FULL instead: see raiseWriteError.
    {ERROR_FILE_TOO_LARGE, kFileTooLarge},
    // No medium, or none that can be read: the user is asked to check the drive.
    {ERROR_NOT_READY, kDiskNotReady},
    {ERROR_NO_MEDIA_IN_DRIVE, kDiskNotReady},
    {ERROR_DEV_NOT_EXIST, kDiskNotReady},
    {ERROR_INVALID_DRIVE, kDiskNotReady},
    {ERROR_BAD_UNIT, kDiskNotReady},
    {ERROR_WRONG_DISK, kDiskNotReady},
    {ERROR_MEDIA_CHANGED, kDiskNotReady},
    {ERROR_UNRECOGNIZED_MEDIA, kDiskNotReady},
    {ERROR_DEVICE_NOT_CONNECTED, kDiskNotReady},
    // Refused: a write-protected disk, a read-only file, missing rights.
    {ERROR_ACCESS_DENIED, kPermissionDenied},
    {ERROR_WRITE_PROTECT, kPermissionDenied},
    {ERROR_NETWORK_ACCESS_DENIED, kPermissionDenied},
    {ERROR_PRIVILEGE_NOT_HELD, kPermissionDenied},
    {ERROR_FILE_READ_ONLY, kPermissionDenied},
    // Missing things.
    {ERROR_FILE_NOT_FOUND, kFileNotFound},
    {ERROR_PATH_NOT_FOUND, kPathNotFound},
    {ERROR_INVALID_NAME, kPathNotFound},
    {ERROR_BAD_PATHNAME, kPathNotFound},
    {ERROR_DIRECTORY, kPathNotFound}, // a part of the path is no folder, as ENOTDIR
    {ERROR_FILENAME_EXCED_RANGE, kPathNotFound},
    {ERROR_BAD_NETPATH, kPathNotFound},
    {ERROR_BAD_NET_NAME, kPathNotFound},
    // The medium itself fails.
    {ERROR_CRC, kDeviceIo},
    {ERROR_SEEK, kDeviceIo},
    {ERROR_NOT_DOS_DISK, kDeviceIo},
    {ERROR_SECTOR_NOT_FOUND, kDeviceIo},
    {ERROR_WRITE_FAULT, kDeviceIo},
    {ERROR_READ_FAULT, kDeviceIo},
    {ERROR_GEN_FAILURE, kDeviceIo},
    {ERROR_IO_DEVICE, kDeviceIo},
    {ERROR_DISK_OPERATION_FAILED, kDeviceIo},
    {ERROR_DISK_CORRUPT, kDeviceIo},
    {ERROR_FILE_CORRUPT, kDeviceIo},
    // Out of handles.
    {ERROR_TOO_MANY_OPEN_FILES, kTooManyFiles},
    // ERROR_SHARING_VIOLATION and ERROR_LOCK_VIOLATION (another program holds the file) are 75,
    // as EBUSY is on POSIX, together with everything else.
};

} // namespace

int errorFromWin32(unsigned long code) {
    for (const Mapping& mapping : kTable) {
        if (mapping.code == code) {
            return mapping.number;
        }
    }
    return kPathFileAccess;
}

void raiseWin32(unsigned long code) {
    raise(errorFromWin32(code));
}

void raiseForPath(unsigned long code, const std::wstring& longPath) {
    if (code == ERROR_ACCESS_DENIED) {
        const DWORD attributes = ::GetFileAttributesW(longPath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            raise(kPathFileAccess);
        }
    }
    raiseWin32(code);
}

} // namespace rt::win32
