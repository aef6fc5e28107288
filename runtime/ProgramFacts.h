// What the runtime knows about the running program: its command line after its own name,
// its folder and its file name, all in drive-letter form.
#pragma once

#include <string>

namespace rt {

class DriveMap;

struct ProgramFacts {
    std::string commandLine;       // the arguments, each translated, joined by single blanks
    std::string programFolder;     // no trailing backslash except at a drive root ("Z:\")
    std::string programName;       // file name without extension
    std::string programFile;       // the program file itself, drive-letter form
    std::string programFileNative; // host path of the program file, for the window icon and links

    // Built from main's arguments and /proc/self/exe.
    static ProgramFacts fromProcess(int argc, char** argv, const DriveMap& drives);
};

// The file name without its last extension ("teile.exe" gives "teile", "splitwerk" stays).
std::string withoutExtension(const std::string& fileName);

} // namespace rt
