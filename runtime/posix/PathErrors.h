// Turning a failed system call on a path into the program's numbered error: a missing file
// is "Datei nicht gefunden" only when its folder exists, otherwise "Pfad nicht gefunden".
#pragma once

#include <string>

namespace rt::posix {

[[noreturn]] void raiseForPath(int err, const std::string& path);

// The last component of a path ("/a/b/" gives "b").
std::string baseName(const std::string& path);

} // namespace rt::posix
