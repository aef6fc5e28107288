// The reassembler's side of the Windows text boundary: the shared conversions, the long form of
// its paths, text from the ANSI code page, and the varying part of temporary names.
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

// Six hex digits for a temporary name, different from one attempt and process to the next; the
// caller creates the name exclusively and tries the next attempt when it is taken.
std::string uniqueSuffix(unsigned attempt);

} // namespace quil::win32
