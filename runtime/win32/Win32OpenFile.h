// The Windows half of the host's open file (see runtime/NativeOpenFile.h), and the identity the
// copy run compares files by: the volume's serial number, the file's index on it, its length, its
// last write time and, where the file system keeps one, its change time (in nanoseconds since
// 1970).
#pragma once

#include "lowio/Io.h"
#include "runtime/FileSystem.h"

namespace rt::win32 {

core::FileIdentity identityOfHandle(lowio::NativeHandle handle);

// A FILETIME as GetFileInformationByHandle fills it in.
struct FileTimeParts {
    unsigned long low = 0;
    unsigned long high = 0;
};
int64_t nanosecondsSince1970(FileTimeParts fileTime);

} // namespace rt::win32
