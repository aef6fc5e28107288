// Text at the border of the Win32 API: the reassembler keeps its text in UTF-8, Windows wants
// UTF-16, and long paths need the "\\?\" form.
#pragma once

#include <string>
#include <string_view>

namespace quil::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// Bytes that are valid UTF-8 stay as they are; anything else is read in the ANSI code page
// (the text a Windows program of the nineties wrote) and turned into UTF-8.
std::string utf8FromUtf8OrAnsi(std::string_view bytes);

// The path for a Win32 file call. An absolute path ("C:\..." or "\\server\share\...") gets
// the "\\?\" form, so that a path past 260 characters works wherever it comes from; forward
// slashes become backslashes there, because that form takes every character literally.
// Relative paths and paths already in that form are left alone.
std::wstring longPath(std::string_view utf8);

} // namespace quil::win32
