// Windows-1252, the ANSI code page of German (and every Western European) Windows: the text a
// Windows PC expects when a set is made for it on a system that has no ANSI code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace core::cp1252 {

// The UTF-8 text in Windows-1252, byte for byte; nothing when it is no valid UTF-8 or holds a
// character the code page lacks. The five bytes Windows-1252 leaves unassigned (81, 8D, 8F, 90,
// 9D) are never produced: Windows would read them as control characters.
std::optional<std::string> fromUtf8(std::string_view utf8);

// Windows-1252 text in UTF-8. The five unassigned bytes become the control characters U+0081 ...
// that Windows makes of them, so that a name check can refuse them.
std::string toUtf8(std::string_view bytes);

} // namespace core::cp1252
