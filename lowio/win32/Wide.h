// Text at the border of the Win32 API, for the runtime and the reassembler alike: UTF-8 inside
// the program, UTF-16 for Windows, and paths in the "\\?\" form that lifts the limit of 260
// characters.
#pragma once

#include "lowio/Io.h"

#include <string>
#include <string_view>

namespace lowio::win32 {

// Invalid UTF-8 becomes U+FFFD: fine for texts shown to the user, never used for a path.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// Whether the bytes are valid UTF-8 (an empty text is).
bool isUtf8(std::string_view bytes);
// Bytes read in the ANSI code page, the text a Windows program of the nineties wrote.
std::wstring widenAnsi(std::string_view bytes);

// The path as the wide-character file API takes it. A relative path is made absolute against
// the working folder first; "." and ".." are resolved and "/" becomes "\". An absolute path then
// gets the "\\?\" prefix ("\\?\UNC\" for a share). A DOS device name ("NUL", "C:\Daten\CON")
// comes back as the device ("\\.\NUL") so that it is recognised as one. Text that is no valid
// UTF-8 fails with ERROR_NO_UNICODE_TRANSLATION: no Windows file has such a name.
SystemError longPath(std::string_view utf8, std::wstring& path);

// The prefixing rule alone, for a path that is already absolute and normal.
std::wstring withLongPathPrefix(std::wstring_view fullPath);
// The path without a "\\?\" or "\\?\UNC\" prefix, as the user knows it.
std::wstring withoutLongPathPrefix(std::wstring_view path);
// Whether a long-form path names a device rather than a file ("\\.\NUL", "\\.\COM1").
bool isDevicePath(std::wstring_view path);

// The full name of the running program's file; empty if Windows cannot say.
std::wstring ownModuleFile();

} // namespace lowio::win32
