// What the runtime knows about the running program: its command line after its own name,
// its folder and its file name, all in drive-letter form.
#pragma once

#include <string>
#include <vector>

namespace rt {

class DriveMap;

// One argument after the program's name, in drive-letter form.
struct ProgramArgument {
    std::string path;
    // False when the host's name cannot be written with drive letters: a Linux name may hold a
    // backslash, which the drive-letter form would read as a separator between folders.
    bool expressible = true;
    bool operator==(const ProgramArgument&) const = default;
};

struct ProgramFacts {
    // Each argument on its own: the file manager hands every selected file over as one, so
    // several files are told apart from one name with blanks.
    std::vector<ProgramArgument> arguments;
    std::string programFolder;     // no trailing backslash except at a drive root ("Z:\")
    std::string programName;       // file name without extension
    std::string programFile;       // the program file itself, drive-letter form
    std::string programFileNative; // host path of the program file, for the window icon and links
    // This is the Windows program: its own QUIL.SYS is the Windows reassembler, and the PC it runs
    // on reads text in its ANSI code page.
    bool windowsProgram = false;

    // The program's file, folder and name from the host path of the running program.
    void takeProgramFile(const std::string& native, const DriveMap& drives);

    // Built from main's arguments and the program file the host names.
    static ProgramFacts fromProcess(int argc, char** argv, const DriveMap& drives);
};

// The file name without its last extension ("teile.exe" gives "teile", "splitwerk" stays).
std::string withoutExtension(const std::string& fileName);

} // namespace rt
