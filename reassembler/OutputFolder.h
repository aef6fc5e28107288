// Where the restored file goes: the folder the user names, else the folder the source came
// from when it exists here, else the current folder; always as an absolute, resolved path.
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

// Chooses and resolves the output folder. A relative argument is taken from workingFolder.
// A named folder that does not exist is a Failure; the fallbacks never are.
std::string chooseOutputFolder(const std::optional<std::string>& argument, const std::string& driveLetterFolder,
                               const std::string& workingFolder, const rt::DriveMap& drives);

// The absolute, symlink-free form of an existing folder, or nothing.
std::optional<std::string> resolveFolder(const std::string& folder, const std::string& workingFolder);

} // namespace quil
