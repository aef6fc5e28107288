// Where the restored file goes: the folder the user names, else the folder the source came
// from when it exists here, else the current folder; always as an absolute, resolved path.
#pragma once

#include "Host.h"

#include <optional>
#include <string>

namespace quil {

// Chooses and resolves the output folder. A relative argument is taken from workingFolder.
// sourceFolder is the trailer's folder as found here (see host::sourceFolderHere).
// A named folder that does not exist is a Failure; the fallbacks never are.
std::string chooseOutputFolder(const std::optional<std::string>& argument,
                               const std::optional<std::string>& sourceFolder, const std::string& workingFolder);

// The absolute, resolved form of an existing folder, or nothing.
using host::resolveFolder;

} // namespace quil
