// Where the restored file goes: the folder the user names, else the folder the source came
// from when the user agrees, else the current folder; always as an absolute, resolved path.
#pragma once

#include "ReassemblerHost.h"
#include "Terminal.h"

#include <optional>
#include <string>

namespace quil {

// The folder named as the argument, else the current folder, resolved. A relative argument is
// taken from workingFolder. A named folder that does not exist is a Failure.
std::string chooseOutputFolder(const std::optional<std::string>& argument, const std::string& workingFolder);

// The trailer's folder (see host::proposedFolder) is text from another machine: the user is
// asked first, and only a folder the user agreed to or typed is looked up. A refusal or end of
// input is a Failure that writes nothing.
std::string confirmOutputFolder(const std::string& proposal, const std::string& workingFolder, Terminal& terminal);

// The absolute, resolved form of an existing folder, or nothing.
using host::resolveFolder;

// A folder typed at a disk question, resolved; a folder that does not exist is said and gives
// nothing.
std::optional<std::string> typedFolder(const std::string& typed, const std::string& workingFolder, Terminal& terminal);

} // namespace quil
