// Leaving the first disk. A program that runs from a medium keeps it busy: Linux will not
// unmount it, and Windows may read the program's pages from it at any time. So the
// reassembler started from a disk continues as a copy of itself in a private temporary folder;
// the copy reads the same trailer from itself. How the copy is started and removed is the
// host's (see host::relocate).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quil {

// The hidden option that tells the copy where it came from: "--quil-kopie-von <folder>".
inline constexpr const char* kCopyOption = "--quil-kopie-von";
// The copy's private folder is named after this prefix, and the copy itself QUIL.EXE.
inline constexpr const char* kCopyFolderPrefix = "splitwerk-quil-";
inline constexpr const char* kCopyName = "QUIL.EXE";

struct Invocation {
    // Set in the relocated copy: the folder the program was started from.
    std::optional<std::string> originFolder;
    // The user's own arguments.
    std::vector<std::string> arguments;
};

// words: the program's name, then its arguments (see host::commandLine).
Invocation parseInvocation(const std::vector<std::string>& words);

} // namespace quil
