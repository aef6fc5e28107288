// Turning an errno value into the program's numbered error, with the same numbers and German
// descriptions that GetLastError codes get on Windows.
#pragma once

#include "runtime/RuntimeError.h"

namespace rt {

// What a failed system call was about decides between "file not found" and "path not found".
enum class ErrnoSubject { File, Folder };

// Maps a POSIX errno value onto the program's error numbers.
int errorFromErrno(int err, ErrnoSubject subject = ErrnoSubject::File);

// Throws the RuntimeError that errno value stands for.
[[noreturn]] void raiseErrno(int err, ErrnoSubject subject = ErrnoSubject::File);

} // namespace rt
