// The runtime services every other part of the program calls, bundled so that tests can
// put their own drives, dialogs, event pump and program end behind them.
#pragma once

#include "DirSearch.h"
#include "DriveMap.h"
#include "EventPump.h"
#include "FileSystem.h"
#include "Files.h"
#include "MessageBox.h"
#include "ProgramEnd.h"
#include "ProgramFacts.h"
#include "RuntimeError.h"
#include "ShellLink.h"
#include "TargetLock.h"

#include <cstdint>
#include <memory>
#include <string>

namespace rt {

struct RuntimeParts {
    DriveMap drives;
    FileSystem* fileSystem = nullptr;
    MessageBoxService* messageBox = nullptr;
    EventPump* events = nullptr;
    ProgramEnd* programEnd = nullptr;
    ShellLink* shellLink = nullptr;
    ProgramFacts facts;
    // Where the run's lock on its target is taken: kProgramLockSpace for the program the user
    // starts; empty (this process alone) for everything else.
    std::string lockSpace;
};

class Runtime {
public:
    explicit Runtime(RuntimeParts parts);
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    const DriveMap& drives() const { return parts_.drives; }
    DriveMap& drives() { return parts_.drives; }
    FileSystem& fileSystem() { return *parts_.fileSystem; }
    Files& files() { return files_; }
    DirSearch& dir() { return dir_; }
    const ProgramFacts& facts() const { return parts_.facts; }
    ShellLink& shellLink() { return *parts_.shellLink; }

    int msgBox(const std::string& prompt, int style, const std::string& title);
    void doEvents();
    // Closes every file open by number, then ends the program. Never returns.
    [[noreturn]] void end(int status = 0);
    // The report of an error that nobody handled: a critical box titled "Splitwerk 99"
    // with "Laufzeitfehler '<n>':", an empty line and the description; then the end.
    [[noreturn]] void reportUnhandled(const RuntimeError& error);
    // Runs a piece of the program's logic so that an error nobody handled ends in that report
    // and never escapes into the window toolkit.
    template <class Handler> void runGuarded(Handler&& handler) {
        try {
            handler();
        } catch (const RuntimeError& error) {
            reportUnhandled(error);
        }
    }

    // Files by name, drive-letter paths.
    int getAttr(const std::string& path);
    void setAttr(const std::string& path, int attributes);
    void kill(const std::string& path);
    // Removes a file even when it is read-only, without changing the protection that its other
    // names (hard links) share with it.
    void killForced(const std::string& path);
    void fileCopy(const std::string& from, const std::string& to);
    int64_t fileLen(const std::string& path);
    // The entry a path names, taken as what a link points to.
    DirEntry describe(const std::string& path);
    // The entry itself (Follow::Link) or what a link points to (Follow::Target).
    core::FileIdentity identity(const std::string& path, Follow follow = Follow::Link);
    // Brings what was written to a closed file onto the medium; reports what the medium says.
    void flushToMedium(const std::string& path);
    // The subfolders of a folder (drive-letter path), links to folders marked as links.
    std::vector<DirEntry> folders(const std::string& folder);
    // Starts bringing a folder's medium up to date in one go; reports nothing.
    void settle(const std::string& folder);
    // Where a folder ("Z:\home\u\ziel\") really lies, every link on the way resolved, as a
    // drive-letter path ending in a backslash: the letter is the one of the longest matching
    // drive, so a link from one drive into another shows the other's letter. Without a drive
    // that covers it the host path comes back with backslashes and no letter. Error 76 when the
    // folder is missing or its real path cannot be written with drive letters, 71 when its
    // drive is not ready.
    std::string realFolder(const std::string& folder);

    // The lock of one target, in this runtime's lock space; nothing when another run holds it.
    std::unique_ptr<TargetLock> lockTarget(const std::string& key) { return rt::lockTarget(parts_.lockSpace, key); }

private:
    RuntimeParts parts_;
    Files files_;
    DirSearch dir_;
};

} // namespace rt
