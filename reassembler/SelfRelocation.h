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
// The first of the user's words that asks the program to wait for Enter before it ends: a
// terminal window opened just for it (a double-click on a set's QUIL.EXE) closes with it.
inline constexpr const char* kWaitOption = "--warten";

struct Invocation {
    // Set in the relocated copy: the folder the program was started from.
    std::optional<std::string> originFolder;
    bool waitAtEnd = false;
    // The user's own arguments.
    std::vector<std::string> arguments;
};

// words: the program's name, then its arguments (see host::commandLine).
Invocation parseInvocation(const std::vector<std::string>& words);

// An argument that names a set's QUIL.EXE (in any case: a FAT medium may show it in small
// letters). Handed such a file, the program restores that set, wherever it runs from and
// whichever system wrote it, because the trailer is the same at the end of every QUIL.EXE.
bool namesSetProgram(const std::string& path);

} // namespace quil
