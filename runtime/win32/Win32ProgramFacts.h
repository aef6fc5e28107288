// The running program's facts on Windows, from its wide command line and its module file.
#pragma once

#include "runtime/ProgramFacts.h"

#include <string>

namespace rt::win32 {

// Splits the command line as the C runtime does (CommandLineToArgvW), drops the program's own
// name and turns every argument into UTF-8, each one an argument of its own.
ProgramFacts factsFromCommandLine(const std::wstring& commandLine, const std::wstring& moduleFile,
                                  const DriveMap& drives);

} // namespace rt::win32
