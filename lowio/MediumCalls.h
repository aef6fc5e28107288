// The two system calls through which written data reaches the medium: the flush that waits for
// it and the early writeback that does not. A medium refuses data only here, in ways an
// ordinary file system cannot be made to show, so each host's pair sits in a translation unit
// of its own that holds nothing else: a test program links its own pair ahead of the library
// and fails them at will, while the programs keep the system's calls.
#pragma once

#include "Io.h"

#include <cstdint>

namespace lowio::medium {

// The system's flush of everything written to the file; 0, or the error exactly as the system
// reported it (the caller decides which errors mean "cannot be flushed at all").
SystemError syncFile(NativeHandle handle);

// The system's request to start writing a range of the file to the medium without waiting; 0,
// or the error as the system reported it. 0 where the host has no such request.
SystemError startRangeWrite(NativeHandle handle, std::int64_t from, std::int64_t length);

} // namespace lowio::medium
