// The two file facts that XP offers only through ntdll: a file's change time, and setting a
// file's attributes through a handle (which still reaches a file whose name was just deleted).
#pragma once

#include "lowio/Io.h"

#include <cstdint>

namespace rt::win32 {

// The change time in nanoseconds since 1970, or 0 where the system or the file system keeps
// none: the identity then rests on its other facts, as it always did.
int64_t changeTimeOf(lowio::NativeHandle handle);

// Sets the attributes of the file behind a handle opened with FILE_WRITE_ATTRIBUTES; false when
// the system refuses or lacks the call.
bool setAttributesOf(lowio::NativeHandle handle, unsigned long attributes);

} // namespace rt::win32
