// What a file handle is on Windows: a HANDLE, INVALID_HANDLE_VALUE for none. Kept as void* so
// that users of the I/O layer need not include <windows.h>.
#pragma once

#include <cstdint>

namespace lowio {

using NativeHandle = void*;
// INVALID_HANDLE_VALUE is (HANDLE)-1.
inline const NativeHandle kNoHandle = reinterpret_cast<NativeHandle>(static_cast<std::intptr_t>(-1));

} // namespace lowio
