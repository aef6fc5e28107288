// The POSIX host's pieces that its tests reach directly.
#pragma once

#include <optional>
#include <string>

namespace rt {
class DriveMap;
}

namespace quil {

// The source folder of the trailer ("Z:\home\u\") as a host folder that exists, or nothing
// (empty, a drive the map does not know or that is not ready, a folder that is gone).
std::optional<std::string> sourceFolderHere(const std::string& driveLetterFolder, const rt::DriveMap& drives);

} // namespace quil
