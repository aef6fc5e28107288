// What the reassembler asks of the system it runs on. The course of a reassembly, the join,
// the questions and the choice of the output folder are the same on every host; these small
// functions are answered once for POSIX (reassembler/posix/) and once for Windows
// (reassembler/win32/), and the build picks one. Paths are text in UTF-8 (on POSIX: the bytes
// the file system stores) in the host's own form ("/media/floppy", "C:\Daten").
#pragma once

#include "core/FileIdentity.h"
#include "lowio/Io.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quil {

class Console;

namespace host {

// --- The program -------------------------------------------------------------------------

// The program's words: its own name first, then what the user gave, as UTF-8.
std::vector<std::string> commandLine(int argc, char** argv);
// The settings every run needs before it touches a medium (no system dialog for an empty
// drive, a closed pipe is an error and not the end).
void prepareProcess();
// The console the program was started in.
std::unique_ptr<Console> standardConsole();
// The file to read the trailer from: the running program itself, readable even after the
// relocated copy has gone.
std::string ownProgramFile();
// The path of the running program, as the system names it.
std::string ownExecutable();

// Leaving the first disk, so that it can be swapped: the program continues as a copy in a
// private temporary folder. exitCode is set when that copy ran to its end (the caller ends
// with it); otherwise problem says why it could not start and the program goes on as it is.
// A host may replace the process with the copy, and then this returns only on failure. The
// copy itself never removes anything: only the run that made it cleans it away, so the hidden
// option typed by hand cannot make the program delete a file.
struct Relocation {
    std::optional<int> exitCode;
    std::string problem;
};
Relocation relocate(const std::vector<std::string>& arguments, const std::string& originFolder);

// --- Text ---------------------------------------------------------------------------------

// A German description of a system error, for the few a user can act on.
std::string describeError(lowio::SystemError error);
// A name line of the trailer as this host's text: utf8 says the set's names are UTF-8 (see
// takeNameEncoding), else they are in the ANSI code page of the Windows machine that wrote them.
// marked says the set carried the UTF-8 mark all the same: a Linux splitter wrote the bytes a
// file system stored, which are a name there even when they are no UTF-8.
std::string fromTrailerText(const std::string& bytes, bool utf8, bool marked = false);
// A folder the user may name as an example in a message.
const char* exampleFolder();

// --- Paths and folders ---------------------------------------------------------------------

// folder + separator + name, without doubling a separator.
std::string joinPath(const std::string& folder, const std::string& name);
// The folder a path lies in.
std::string folderOf(const std::string& path);
std::string currentFolder();
// The absolute, resolved form of an existing folder, or nothing. A relative folder is taken
// from workingFolder.
std::optional<std::string> resolveFolder(const std::string& folder, const std::string& workingFolder);
// The folder named in the trailer in this host's form, from its text alone, or nothing when the
// text names no absolute folder here. Nothing is looked up: a set comes from another machine,
// and merely looking at a share it names ("\\host\share\") contacts that host.
std::optional<std::string> proposedFolder(const std::string& trailerFolder);
// Moves the working folder off every medium the user may swap.
lowio::SystemError leaveWorkingFolder();

// Why this host cannot hold a file of that name (a plain name, no folder), in German for the
// user; nothing when it can. Windows has reserved characters and device names; every host
// has a longest name.
std::optional<std::string> nameProblem(const std::string& name);

// --- Files ---------------------------------------------------------------------------------

// Names repeat every hundred parts, so the 101st part has the 1st one's name; a file's identity
// tells a file already joined from a new one of that name (a disk swapped in may even reuse the
// file number).
using core::FileIdentity;

struct FileFacts {
    enum class Kind { Missing, Regular, Folder, Other };
    Kind kind = Kind::Missing;
    std::int64_t size = 0;
    core::FileIdentity identity{};
};
// What path names, links followed.
FileFacts factsOf(const std::string& path);
// What the entry path is itself, a link not followed (only the kind is told).
FileFacts::Kind kindOfEntry(const std::string& path);
// What an open file is.
lowio::SystemError factsOf(lowio::NativeHandle handle, FileFacts& facts);
// The names in a folder (without "." and ".."), or nothing when it cannot be listed.
std::optional<std::vector<std::string>> listFolder(const std::string& folder);
// Opens a file for reading; a special file (a pipe) must not make this wait.
lowio::Handle openForReading(const std::string& path, lowio::SystemError& error);
// Copies up to size bytes from the position of from to the position of to inside the system,
// without passing them through the program, and moves both positions; copied says how many. An
// error only means this way is closed (another file system, a host without it, or a real
// failure): the caller then reads and writes itself, and that reports a real failure as such.
lowio::SystemError copyInSystem(lowio::NativeHandle from, lowio::NativeHandle to, std::size_t size,
                                std::size_t& copied);
// Asks the file system for room for a file of this length, without changing what the file
// holds or how long it is, so that it need not find room page by page while the file is
// written. Only an aid: where the system cannot, or refuses, the writes find room themselves
// (or report that there is none).
void reserveRoom(lowio::NativeHandle handle, std::int64_t length);
// Bytes free for this user in the folder, or nothing when the file system does not tell.
std::optional<std::int64_t> freeBytes(const std::string& folder);
// The largest file this program can write in the folder, where something holds it below what
// 64 bits count: FAT's 4 GiB - 1 byte, or a size limit the process was started with.
std::optional<std::int64_t> largestFile(const std::string& folder);

// --- Media ---------------------------------------------------------------------------------

// The folder is on a floppy or another medium the user swaps for the next disk. A folder on
// a fixed disk is not: its parts are never swapped in place.
bool isExchangeableMedium(const std::string& folder);
// Both folders exist and lie on the same file system.
bool sameFileSystem(const std::string& first, const std::string& second);

// --- The restored file ------------------------------------------------------------------------

// Ctrl-C and the like remove the registered temporary file before the program ends.
void installInterruptCleanup();
// Creates a new hidden temporary file in folder and registers it for that clean-up, so that
// no interrupt falls between the two; path says what it is called.
lowio::Handle createTemporary(const std::string& folder, std::string& path, lowio::SystemError& error);
// Gives the complete, closed temporary file its final name. Without mayReplace an existing
// file of that name is never replaced: nameTaken is then set and the temporary stays. Once
// placed, the temporary is no longer removed on interrupt.
lowio::SystemError placeTemporary(const std::string& temporary, const std::string& finalPath, bool mayReplace,
                                  bool& nameTaken);
// Removes the temporary file and forgets it.
void removeTemporary(const std::string& temporary);
// Keeps the temporary file where it is and forgets it: it holds a complete restored file.
void keepTemporary(const std::string& temporary);

// A hidden file in folder for the program's own use while it runs (the recovery data copied off
// its diskettes), open for reading and writing. It has no name once made, or the system removes
// it when the handle closes: however the program ends, nothing is left behind, and the
// registered temporary stays the restored file's.
lowio::Handle createScratchFile(const std::string& folder, lowio::SystemError& error);

} // namespace host
} // namespace quil
