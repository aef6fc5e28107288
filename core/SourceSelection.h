// The one file this start of the program works on, set once by the load handler and read
// by the copy run.
#pragma once

#include <string>

namespace core {

struct SourceSelection {
    std::string SourcePath;   // the trimmed command line: the full path of the file
    std::string SourceFolder; // up to and including the last backslash; empty without one
    std::string SourceName;   // after the last backslash; all of SourcePath without one
};

} // namespace core
