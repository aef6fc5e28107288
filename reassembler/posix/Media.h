// Whether the folder of the parts is a medium the user will swap for the next disk, and
// whether the output would land on that same medium (which would then stay busy).
#pragma once

#include "lowio/posix/MountTable.h"

#include <string>
#include <vector>

namespace quil {

// A folder on a floppy or other removable medium: the root of a mounted file system other
// than "/", or anything on /dev/fd*, or below the usual mount places of removable media.
// A folder somewhere on a fixed disk is not: its parts are never swapped in place.
bool isExchangeableMedium(const std::string& folder, const std::vector<lowio::MountEntry>& mounts);

// Both paths exist and lie on the same file system.
bool sameFileSystem(const std::string& first, const std::string& second);

} // namespace quil
