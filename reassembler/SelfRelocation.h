// Linux will not unmount a medium while a program runs from it. So the reassembler started
// from a disk first copies itself to a private temporary folder and continues as that copy;
// the copy reads the same trailer from itself and removes itself right away.
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

Invocation parseInvocation(int argc, const char* const* argv);

// The program's own file, as the kernel knows it.
std::string ownExecutable();

// The folder part of a path ("/media/floppy/QUIL.EXE" gives "/media/floppy").
std::string folderOf(const std::string& path);

// Copies the running program into a new private temporary folder and executes the copy with
// the hidden option and the user's arguments. Returns only when that failed, with the reason;
// the program then goes on from where it is.
std::string relocate(const std::vector<std::string>& arguments, const std::string& originFolder);

// In the copy: removes the copy and its private folder. The running program stays readable
// through /proc/self/exe. Only a file that looks like such a copy is removed, so that the
// hidden option typed by hand cannot delete QUIL.EXE from a disk.
void removeOwnCopy(const std::string& originFolder);

} // namespace quil
