// A set made on Linux for a Windows PC names its file in Windows-1252, the code page of German
// Windows: Linux itself has no ANSI code page to ask.
#include "runtime/AnsiCodePage.h"

#include "core/Windows1252.h"

namespace rt {

std::optional<std::string> toAnsiCodePage(const std::string& utf8) {
    return core::cp1252::fromUtf8(utf8);
}

} // namespace rt
