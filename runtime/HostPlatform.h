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

// What the system must be told before the first access, so that a medium's refusal comes back
// as an error the program can answer and never ends it or stops it in a box of the system's own:
// a call on a drive without a disk fails as "not ready" (Windows asks for the disk in a box
// unless told otherwise), and a file that reaches the process's size limit fails its write with
// EFBIG (Linux would end the process with SIGXFSZ). Call once, at the start.
void prepareProcess();

// The process's working folder as a host path (UTF-8, also on Windows, where the C++ library's
// narrow paths would use the ANSI code page and lose what it cannot hold); nothing when it is
// unknown (deleted, or too long).
std::optional<std::string> workingFolder();

} // namespace rt
