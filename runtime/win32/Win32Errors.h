// Turning a GetLastError code into the program's numbered error, with the same numbers and
// German descriptions that errno values get on POSIX.
#pragma once

#include <string>

namespace rt::win32 {

// Windows tells a missing file (ERROR_FILE_NOT_FOUND) from a missing folder
// (ERROR_PATH_NOT_FOUND) itself, so the code alone decides.
int errorFromWin32(unsigned long code);

[[noreturn]] void raiseWin32(unsigned long code);

// For a call on a path: Windows refuses to open or delete a folder as a file with
// ERROR_ACCESS_DENIED, which POSIX reports as EISDIR; both become 75 here, as on POSIX.
[[noreturn]] void raiseForPath(unsigned long code, const std::wstring& longPath);

} // namespace rt::win32
