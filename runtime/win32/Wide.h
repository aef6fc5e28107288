// UTF-8 inside the program, UTF-16 at the Windows boundary. Paths are handed to the wide API in
// their long form, so that a path of more than 260 characters works like any other.
#pragma once

#include <string>
#include <string_view>

namespace rt::win32 {

// Invalid UTF-8 becomes U+FFFD: fine for texts shown to the user, never used for a path.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The path as the wide-character file API takes it. A relative path is made absolute against the
// working folder first; "." and ".." are resolved and "/" becomes "\". An absolute path then gets
// the "\\?\" prefix ("\\?\UNC\" for a share), which lifts the 260-character limit. A DOS device
// name ("NUL", "C:\Daten\CON") comes back as the device ("\\.\NUL") so that it is recognised as
// one. Error 76 for text that is no valid UTF-8.
std::wstring longPath(const std::string& path);

// The prefixing rule alone, for a path that is already absolute and normal.
std::wstring withLongPathPrefix(std::wstring_view fullPath);

// Whether a long-form path names a device rather than a file ("\\.\NUL", "\\.\COM1").
bool isDevicePath(std::wstring_view path);

// The path without a "\\?\" or "\\?\UNC\" prefix, as the user knows it.
std::wstring withoutLongPathPrefix(std::wstring_view path);

} // namespace rt::win32
