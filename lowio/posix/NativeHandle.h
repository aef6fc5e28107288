// What a file handle is on POSIX hosts: a descriptor, -1 for none.
#pragma once

namespace lowio {

using NativeHandle = int;
inline constexpr NativeHandle kNoHandle = -1;

} // namespace lowio
