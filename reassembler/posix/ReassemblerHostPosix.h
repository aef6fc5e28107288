// The POSIX host's pieces that its tests reach directly.
#pragma once

#include <optional>
#include <string>

namespace rt {
class DriveMap;
}

namespace quil {

// The source folder of the trailer ("Z:\home\u\") as a host path ("/home/u"), or nothing (empty,
// no drive, a drive the map does not know or that is not ready). Whether it exists is not asked.
std::optional<std::string> proposedFolder(const std::string& driveLetterFolder, const rt::DriveMap& drives);

} // namespace quil
