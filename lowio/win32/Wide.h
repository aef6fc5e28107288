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

// The absolute form of a path, made from its text alone: a relative path is taken against the
// working folder (of its drive, for "C:Daten"), "." and ".." are resolved, "/" becomes "\" and a
// run of separators one. Unlike GetFullPathNameW it keeps every name exactly as given: "twin.bin "
// and "Ordner.\dot." stay what they say, and never turn into "twin.bin" or "Ordner\dot", which
// may be other files. A DOS device name ("NUL", "C:\Daten\CON") comes back as the device ("\\.\NUL").
SystemError fullPath(std::wstring_view path, std::wstring& full);

// The path as the wide-character file API takes it: the full path above with the "\\?\" prefix
// ("\\?\UNC\" for a share), under which Windows takes every name as it stands and lifts the limit
// of 260 characters. A device stays "\\.\NUL" so that it is recognised as one. Text that is no
// valid UTF-8 fails with ERROR_NO_UNICODE_TRANSLATION: no Windows file has such a name.
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
