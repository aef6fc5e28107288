// The services of the host this build is for, named without their backend: CMake compiles
// either posix/ or win32/, and each defines these. The program's start and the tests take the
// real file system from here, so that neither needs to know which host it runs on.
#pragma once

#include "FileSystem.h"
#include "ShellLink.h"

#include <memory>
#include <optional>
#include <string>

namespace rt {

class DriveMap;

// The host's real file system.
std::unique_ptr<FileSystem> makeHostFileSystem();

// The Send To layer: the user's SendTo folder on Windows, the file managers' menus on Linux.
// The drive map must outlive the layer.
std::unique_ptr<ShellLink> makeHostShellLink(const DriveMap& drives);

// A call on a drive without a disk must fail with an error the program can answer ("not
// ready"), never stop the program with a system box asking for a disk. Windows shows such
// boxes unless told otherwise at the start; POSIX has none. Call once, before the first access.
void suppressSystemErrorBoxes();

// The process's working folder as a host path (UTF-8, also on Windows, where the C++ library's
// narrow paths would use the ANSI code page and lose what it cannot hold); nothing when it is
// unknown (deleted, or too long).
std::optional<std::string> workingFolder();

} // namespace rt
