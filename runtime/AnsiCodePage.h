// Text for a Windows reader that takes the bytes of a text file in its ANSI code page.
#pragma once

#include <optional>
#include <string>

namespace rt {

// The UTF-8 text in the ANSI code page of the Windows PC that reads a set: on Windows this PC's
// own; on Linux, which has none, Windows-1252, the code page of German Windows. Nothing when the
// code page cannot hold every character exactly: a substitute such as "?" would give the
// restored file another name.
std::optional<std::string> toAnsiCodePage(const std::string& utf8);

} // namespace rt
