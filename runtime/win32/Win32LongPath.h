// The runtime's side of the Windows text boundary: the shared conversions, and long paths that
// fail with the runtime's own errors.
#pragma once

#include "lowio/win32/Wide.h"

#include <string>

namespace rt::win32 {

using lowio::win32::isDevicePath;
using lowio::win32::narrow;
using lowio::win32::widen;
using lowio::win32::withLongPathPrefix;
using lowio::win32::withoutLongPathPrefix;

// The long form of a path (see lowio::win32::longPath); error 76 for text that is no valid UTF-8,
// the mapped system error for anything else.
std::wstring longPath(const std::string& path);

} // namespace rt::win32
