#include "TargetGuard.h"

#include "DiskTracker.h"
#include "core/DiskSet.h"
#include "core/DosPath.h"
#include "core/ReassemblerChoice.h"
#include "core/RecoveryData.h"
#include "core/SourceSelection.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <iterator>

namespace kopierer {

namespace {

using Handler = Recovery::Handler;

bool isOneOf(const core::FileIdentity& identity, const std::vector<core::FileIdentity>& identities) {
    return std::find(identities.begin(), identities.end(), identity) != identities.end();
}

} // namespace

TargetGuard::TargetGuard(rt::Runtime& runtime, Recovery& recovery, const DiskTracker& disks,
                         const core::SourceSelection& source, const core::ReassemblerChoice& reassembler)
    : runtime_(runtime), recovery_(recovery), disks_(disks), source_(source), reassembler_(reassembler) {}

bool TargetGuard::isRemovable(const std::string& folder) const {
    return core::dospath::hasDrivePrefix(folder) && runtime_.drives().isRemovable(folder[0]);
}

bool TargetGuard::isRemovableRoot(const std::string& folder) const {
    return isRemovable(folder) && core::dospath::isDriveRoot(folder);
}

// A folder reached through a link is written where it really lies, and every message names that
// place. A link that leaves the drive the user chose (a folder on a stick that leads into the
// home folder) is refused: the run would write and delete outside the medium in the drive.
bool TargetGuard::followToWhereItLies(std::string& folder) {
    bool throughALink = false;
    try {
        realFolder_ = runtime_.realFolder(folder);
        throughALink = !core::dospath::hasDrivePrefix(realFolder_) || !runtime_.drives().samePlace(realFolder_, folder);
    } catch (const rt::RuntimeError&) {
        return true; // not there yet (an empty drive, say): the run's own steps meet that
    }
    const bool otherDrive = !core::dospath::hasDrivePrefix(realFolder_) ||
                            core::dospath::upperAscii(realFolder_[0]) != core::dospath::upperAscii(folder[0]);
    if (throughALink && otherDrive) {
        return false;
    }
    // No link, but another letter: a medium's folder reached through the root's tree
    // ("Z:\\media\\floppy0\\"). It is that medium, and gets the care its own letter gets.
    folder = realFolder_;
    return true;
}

// One run per target: a second one would take the first one's files for an older set's and
// remove them while they are written. A removable drive is one target whatever folder of it is
// chosen and whatever disk is in it, or none: its disks change under both runs, and the next
// disk may come up at another mount point than the last.
bool TargetGuard::lock(const std::string& folder, bool removable) {
    std::string key;
    if (removable) {
        key.append("drive ").push_back(core::dospath::upperAscii(folder[0]));
        // Each program gives the media their letters when it starts, so one stick may be D: to
        // one window and E: to another: the medium in the drive is locked as well, by what it
        // is, not by where it is mounted.
        try {
            const core::FileIdentity root = runtime_.identity(folder.substr(0, 3), rt::Follow::Target);
            mediumLock_ =
                runtime_.lockTarget("medium " + std::to_string(root.device) + ":" + std::to_string(root.inode));
            if (mediumLock_ == nullptr) {
                return false;
            }
        } catch (const rt::RuntimeError&) {
            // No disk in the drive yet: the drive's own lock is all there is to take.
        }
    } else {
        try {
            const core::FileIdentity identity = runtime_.identity(folder, rt::Follow::Target);
            key.append("folder ")
                .append(std::to_string(identity.device))
                .append(":")
                .append(std::to_string(identity.inode));
        } catch (const rt::RuntimeError&) {
            key = "path ";
            std::transform(folder.begin(), folder.end(), std::back_inserter(key), core::dospath::upperAscii);
        }
    }
    lock_ = runtime_.lockTarget(key);
    return lock_ != nullptr;
}

void TargetGuard::knowTheSource(const core::FileIdentity& atOpen) {
    sourceIdentities_ = identitiesOf({source_.SourcePath});
    sourceIdentities_.push_back(atOpen);
}

std::optional<std::vector<std::string>> TargetGuard::namesIn(const std::string& folder) {
    std::vector<std::string> names;
    try {
        for (std::string name = runtime_.dir().first(folder + "*.*", rt::kSearchAll); !name.empty();
             name = runtime_.dir().next()) {
            names.push_back(name);
        }
    } catch (const rt::RuntimeError&) {
        return std::nullopt;
    }
    return names;
}

bool TargetGuard::aSetNameIsTheSource(const std::string& folder, const std::vector<std::string>& names,
                                      bool withRecoveryData) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
        const bool setName =
            core::diskset::isSetName(name) || (withRecoveryData && core::recovery::pieceNumber(name).has_value());
        try {
            return setName && isTheSource(runtime_.identity(folder + name));
        } catch (const rt::RuntimeError&) {
            return false; // gone meanwhile: then it cannot be the source either
        }
    });
}

int TargetGuard::filesTheWipeWouldDelete(const std::string& folder, const std::vector<std::string>& names) {
    const std::vector<core::FileIdentity> keep = identitiesTheWipeKeeps();
    int count = 0;
    for (const std::string& name : names) {
        try {
            if (name.front() != '.' && !isOneOf(runtime_.identity(folder + name), keep)) {
                ++count;
            }
        } catch (const rt::RuntimeError&) {
        }
    }
    return count;
}

TargetGuard::Clearing TargetGuard::wipe(const std::string& folder) {
    const std::vector<core::FileIdentity> keep = identitiesTheWipeKeeps();
    constexpr Handler kWipe = Handler::OnWipeError;
    std::string name =
        recovery_.attempt(recovery_.named(kWipe), [&] { return runtime_.dir().first(folder + "*.*", rt::kSearchAll); });
    while (!name.empty()) {
        if (name.front() != '.') {
            const std::string path = folder + name;
            const core::FileIdentity identity =
                recovery_.attempt(recovery_.named(kWipe), [&] { return runtime_.identity(path); });
            if (disks_.isWrittenThisRun(identity)) {
                return Clearing::OwnFile;
            }
            if (!isOneOf(identity, keep)) {
                // Cleared and deleted in one: a read-only file may have another name outside the
                // target, which must stay as protected as it was.
                recovery_.attempt(recovery_.named(kWipe), [&] { runtime_.killForced(path); });
                recovery_.attempt(recovery_.named(kWipe), [&] { runtime_.doEvents(); });
            }
        }
        name = recovery_.attempt(recovery_.named(kWipe), [&] { return runtime_.dir().next(); });
    }
    return Clearing::Cleared;
}

TargetGuard::Clearing TargetGuard::clearOlderParts(const std::string& folder, bool withRecoveryData) {
    // After a change of disk the search runs under the handler that asked for the disk; on the
    // first disk under the target's.
    constexpr Handler kTarget = Handler::OnTargetError;
    std::vector<std::string> parts;
    const auto search = [&](const char* pattern, const auto& isOlder) {
        for (std::string name = recovery_.attempt(
                 recovery_.inForceOr(kTarget), [&] { return runtime_.dir().first(folder + pattern, rt::kSearchAll); });
             !name.empty();
             name = recovery_.attempt(recovery_.inForceOr(kTarget), [&] { return runtime_.dir().next(); })) {
            if (isOlder(name)) {
                parts.push_back(name);
            }
        }
    };
    search("QUILME??.sys", core::diskset::isPartName);
    // Pieces of an older set's recovery data would pass for pieces of this one's.
    if (withRecoveryData) {
        search("QUILME*.par2", [](const std::string& name) { return core::recovery::pieceNumber(name).has_value(); });
    }
    for (const std::string& name : parts) {
        const Clearing clearing = clearName(folder + name, kTarget);
        if (clearing != Clearing::Cleared) {
            return clearing;
        }
    }
    return Clearing::Cleared;
}

// The search ignores letter case, a case-sensitive file system does not: every spelling goes,
// under the name the search found, so that a leftover cannot keep its bytes behind the new
// file's end.
TargetGuard::Clearing TargetGuard::clearName(const std::string& path, Handler searchGuard) {
    const std::string folder = core::dospath::folderWithSeparator(path);
    std::vector<std::string> found;
    for (std::string name = recovery_.attempt(recovery_.inForceOr(searchGuard),
                                              [&] { return runtime_.dir().first(path, rt::kSearchAll); });
         !name.empty();
         name = recovery_.attempt(recovery_.inForceOr(searchGuard), [&] { return runtime_.dir().next(); })) {
        found.push_back(folder + name);
    }
    for (const std::string& entry : found) {
        const std::optional<core::FileIdentity> identity = identityIfThere(entry);
        if (!identity) {
            continue; // gone meanwhile
        }
        if (isTheSource(*identity)) {
            return Clearing::TheSource;
        }
        if (disks_.isWrittenThisRun(*identity)) {
            return Clearing::OwnFile;
        }
        recovery_.attempt(recovery_.named(Handler::OnTargetError), [&] { runtime_.killForced(entry); });
    }
    return Clearing::Cleared;
}

bool TargetGuard::isTheSource(const core::FileIdentity& identity) const {
    // Its length and time may change meanwhile.
    return std::any_of(sourceIdentities_.begin(), sourceIdentities_.end(),
                       [&](const core::FileIdentity& source) { return identity.sameFileAs(source); });
}

// Each path as its own entry and as what it points to; a path that cannot be found is left out,
// since nothing can delete it either.
std::vector<core::FileIdentity> TargetGuard::identitiesOf(const std::vector<std::string>& paths) {
    std::vector<core::FileIdentity> identities;
    for (const std::string& path : paths) {
        for (const rt::Follow follow : {rt::Follow::Link, rt::Follow::Target}) {
            try {
                identities.push_back(runtime_.identity(path, follow));
            } catch (const rt::RuntimeError&) {
            }
        }
    }
    return identities;
}

// Neither the file being split nor the program and every reassembler it keeps may go, should the
// user pick their folder as the target: a wipe of the program's own folders must not cost the
// next run its QUIL.SYS.
std::vector<core::FileIdentity> TargetGuard::identitiesTheWipeKeeps() {
    std::vector<std::string> keep = reassembler_.installed;
    keep.push_back(source_.SourcePath);
    keep.push_back(runtime_.facts().programFile);
    return identitiesOf(keep);
}

std::optional<core::FileIdentity> TargetGuard::identityIfThere(const std::string& path) {
    try {
        return runtime_.identity(path);
    } catch (const rt::RuntimeError& error) {
        if (error.number() == rt::kFileNotFound || error.number() == rt::kPathNotFound) {
            return std::nullopt;
        }
    }
    return recovery_.attempt(recovery_.inForce(), [&] { return runtime_.identity(path); });
}

} // namespace kopierer
