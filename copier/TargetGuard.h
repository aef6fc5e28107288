// What the run may do to its target: the folder where it really lies, one run per target (the
// lock), removable media, and the names of the set against the file being split, the files the
// wipe keeps and the files this run wrote. Before anything is written it answers the run's
// questions; on each disk it clears the way for the set's files, or says why it cannot.
#pragma once

#include "Recovery.h"
#include "runtime/FileSystem.h"
#include "runtime/TargetLock.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace core {
struct ReassemblerChoice;
struct SourceSelection;
} // namespace core

namespace rt {
class Runtime;
} // namespace rt

namespace kopierer {

class DiskTracker;

class TargetGuard {
public:
    // What stood in the way of a file of the set.
    enum class Clearing {
        Cleared,   // nothing: the name is free
        OwnFile,   // a file this run wrote: the disk in the drive is one the run wrote before
        TheSource, // the file being split
    };

    TargetGuard(rt::Runtime& runtime, Recovery& recovery, const DiskTracker& disks, const core::SourceSelection& source,
                const core::ReassemblerChoice& reassembler);

    bool isRemovable(const std::string& folder) const;
    bool isRemovableRoot(const std::string& folder) const;
    // Takes the folder where its links lead; false when that is on another drive, which
    // realFolder() then names.
    bool followToWhereItLies(std::string& folder);
    const std::string& realFolder() const { return realFolder_; }
    // The run's lock on its target; false when another run writes there.
    bool lock(const std::string& folder, bool removable);

    // The source as it was opened; from here on the run never touches it under any name.
    void knowTheSource(const core::FileIdentity& atOpen);
    // Names in the target folder, for the checks before anything is written; nothing when the
    // folder cannot be listed yet (the run's own steps then meet that failure).
    std::optional<std::vector<std::string>> namesIn(const std::string& folder);
    // withRecoveryData: the pieces of the recovery data are names of the set too.
    bool aSetNameIsTheSource(const std::string& folder, const std::vector<std::string>& names, bool withRecoveryData);
    int filesTheWipeWouldDelete(const std::string& folder, const std::vector<std::string>& names);

    // Empties the folder, dot files excepted; stops at a file of this run.
    Clearing wipe(const std::string& folder);
    // Removes every QUILMEnn.sys in the folder that this run did not write, and with recovery data
    // every piece of it (QUILME.par2, QUILMEn.par2).
    Clearing clearOlderParts(const std::string& folder, bool withRecoveryData);
    // Clears the way for a file of the set: every entry answering to its name (in any letter
    // case, a link or a read-only file included) is removed as itself, under OnTargetError; the
    // search runs under searchGuard (Handler::None: whatever a continuation left in force).
    Clearing clearName(const std::string& path, Recovery::Handler searchGuard);

private:
    // The file being split, as its own entry and as what it is.
    bool isTheSource(const core::FileIdentity& identity) const;
    std::vector<core::FileIdentity> identitiesOf(const std::vector<std::string>& paths);
    std::vector<core::FileIdentity> identitiesTheWipeKeeps();
    // The identity of an entry, or nothing when it has gone; other failures go to the handler.
    std::optional<core::FileIdentity> identityIfThere(const std::string& path);

    rt::Runtime& runtime_;
    Recovery& recovery_;
    const DiskTracker& disks_;
    const core::SourceSelection& source_;
    const core::ReassemblerChoice& reassembler_;
    std::vector<core::FileIdentity> sourceIdentities_;
    std::string realFolder_;
    std::unique_ptr<rt::TargetLock> lock_;
    std::unique_ptr<rt::TargetLock> mediumLock_;
};

} // namespace kopierer
