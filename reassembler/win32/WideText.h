// The reassembler's side of the Windows text boundary: the shared conversions, the long form of
// its paths, and text from the ANSI code page.
#pragma once

#include "lowio/win32/Wide.h"

#include <string>
#include <string_view>

namespace quil::win32 {

using lowio::win32::narrow;
using lowio::win32::widen;

// Bytes that are valid UTF-8 stay as they are; anything else is read in the ANSI code page
// (the text a Windows program of the nineties wrote) and turned into UTF-8.
std::string utf8FromUtf8OrAnsi(std::string_view bytes);

// The path for a Win32 file call in its long form (see lowio::win32::longPath). Text that cannot
// be a path comes back merely widened, so that the call fails with Windows' own error.
std::wstring longPath(std::string_view utf8);

} // namespace quil::win32
