// Replacing a small file in one step: written beside its target under a temporary name,
// then renamed over it, so a reader never sees half an entry and a second run never
// leaves a duplicate.
#pragma once

#include <string>
#include <sys/types.h>

namespace rt::posix {

// Creates the missing folders, writes the contents with the given mode and renames the result
// into place. Returns false (leaving no temporary file behind) when any step fails.
bool replaceFileAtomically(const std::string& path, const std::string& contents, mode_t mode);

// Creates a folder and its missing parents (mode 0700 before the umask).
bool makeFolders(const std::string& path);

} // namespace rt::posix
