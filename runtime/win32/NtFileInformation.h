// The file facts that XP offers only through ntdll: a file's change time, the file system of
// its volume, and setting a file's attributes through a handle (which still reaches a file whose
// name was just deleted).
#pragma once

#include "lowio/Io.h"

#include <cstdint>

namespace rt::win32 {

// The change time in nanoseconds since 1970, or 0 where the system or the file system keeps
// none: the identity then rests on its other facts, as it always did.
int64_t changeTimeOf(lowio::NativeHandle handle);

// Whether the file lies on a FAT volume (FAT12, FAT16 or FAT32, not exFAT), where no file grows
// past 4 GiB - 1 byte; false when the system does not say.
bool onFatVolume(lowio::NativeHandle handle);

// Sets the attributes of the file behind a handle opened with FILE_WRITE_ATTRIBUTES; false when
// the system refuses or lacks the call.
bool setAttributesOf(lowio::NativeHandle handle, unsigned long attributes);

} // namespace rt::win32
