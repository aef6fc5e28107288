// Numbered errors: every failing runtime service throws a RuntimeError carrying the
// number the program's logic branches on (61 disk full, 71 not ready, ...) and a German
// description for the user.
#pragma once

#include <stdexcept>
#include <string>

namespace rt {

enum ErrorNumber : int {
    kOverflow = 6,
    kBadFileNumber = 52,
    kFileNotFound = 53,
    kFileAlreadyOpen = 55,
    kDeviceIo = 57,
    // The medium takes no more of this one file, though it may still have room for another: FAT
    // ends every file at 4 GiB - 1 byte, and a process may be held to a size limit. Apart from
    // 61, since the answer differs: a new file on the same medium, not the next medium.
    kFileTooLarge = 60,
    kDiskFull = 61,
    kInputPastEnd = 62,
    kBadRecordNumber = 63,
    kTooManyFiles = 67,
    kPermissionDenied = 70,
    kDiskNotReady = 71,
    kPathFileAccess = 75,
    kPathNotFound = 76,
};

// The German description of an error number; unknown numbers get a generic text.
std::string errorDescription(int number);

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, const std::string& description);

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

private:
    int number_;
    std::string description_;
};

[[noreturn]] void raise(int number);

} // namespace rt
