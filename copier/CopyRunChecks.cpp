// The checks around the run's writing: before the first byte, whether the target may be written
// (the set's names against the source, the links on the way, the lock, the wipe question), and
// at the end, whether the source is still what the parts hold.
#include "CopyRun.h"

#include "CopyControls.h"
#include "CopyMessages.h"
#include "core/DiskSet.h"
#include "core/DosPath.h"
#include "runtime/Checked.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <iterator>

namespace kopierer {

namespace {

// Part names repeat after 100 parts (01 to 99, then 00), so one folder holds at most 100 parts
// of one set.
constexpr int kMostPartsInAFolder = 100;

} // namespace

bool CopyRun::isOneOf(const rt::FileIdentity& identity, const std::vector<rt::FileIdentity>& identities) {
    return std::find(identities.begin(), identities.end(), identity) != identities.end();
}

// In one folder the hundred-and-first part would replace the first.
bool CopyRun::sourceNeedsTooManyParts(int32_t sourceLength) const {
    if (controls_.optValue(0)) {
        return false;
    }
    const int64_t parts = (int64_t{sourceLength} + MaxPartSize - 1) / MaxPartSize;
    return parts > kMostPartsInAFolder;
}

// Before anything is written: the set's own names must not meet the file being split, and a
// folder that is not a removable medium is emptied only when the user says so.
CopyRun::Step CopyRun::checkTarget() {
    if (sourceLength_ == 0) {
        return Step::MainLoop; // nothing will be written at all
    }
    if (!followTheTargetToWhereItLies()) {
        message(copy_messages::targetLeavesItsDrive(TargetFolder, realTarget_), rt::kCriticalOk);
        return Step::CloseSource;
    }
    if (!lockTheTarget()) {
        message(copy_messages::kTargetBusy, rt::kCriticalOk);
        return Step::CloseSource;
    }
    const std::optional<std::vector<std::string>> names = targetNames();
    if (!names) {
        return Step::MainLoop;
    }
    for (const std::string& name : *names) {
        if (!diskset::isSetName(name)) {
            continue;
        }
        try {
            if (isTheSource(runtime_.identity(TargetFolder + name))) {
                message(copy_messages::kSourceInTarget, rt::kCriticalOk);
                return Step::CloseSource;
            }
        } catch (const rt::RuntimeError&) {
            // Gone meanwhile: then it cannot be the source either.
        }
    }
    if (controls_.chkValue(2) != 0 && !targetIsRemovableRoot()) {
        const int files = filesTheWipeWouldDelete(*names);
        if (files > 0 &&
            message(copy_messages::wipeQuestion(TargetFolder, files), rt::kQuestionYesNoDefaultNo) != rt::kResultYes) {
            return Step::CloseSource;
        }
    }
    return Step::MainLoop;
}

std::optional<std::vector<std::string>> CopyRun::targetNames() {
    std::vector<std::string> names;
    try {
        for (std::string name = runtime_.dir().first(TargetFolder + "*.*", rt::kSearchAll); !name.empty();
             name = runtime_.dir().next()) {
            names.push_back(name);
        }
    } catch (const rt::RuntimeError&) {
        return std::nullopt;
    }
    return names;
}

int CopyRun::filesTheWipeWouldDelete(const std::vector<std::string>& names) {
    const std::vector<rt::FileIdentity> keep = identitiesOf(filesTheWipeKeeps());
    int count = 0;
    for (const std::string& name : names) {
        try {
            if (name.front() != '.' && !isOneOf(runtime_.identity(TargetFolder + name), keep)) {
                ++count;
            }
        } catch (const rt::RuntimeError&) {
        }
    }
    return count;
}

bool CopyRun::targetIsRemovable() const {
    return dospath::hasDrivePrefix(TargetFolder) && runtime_.drives().isRemovable(TargetFolder[0]);
}

bool CopyRun::targetIsRemovableRoot() const {
    return targetIsRemovable() && dospath::isDriveRoot(TargetFolder);
}

void CopyRun::checkSourceUnchanged() {
    rt::FileIdentity now;
    try {
        now = runtime_.files().identity(sourceFile_);
    } catch (const rt::RuntimeError&) {
        return; // an unreadable source now says nothing about the bytes already copied
    }
    // A change that kept the length and put the time back still shows in the identity (its
    // change time cannot be set back), and one that only added bytes in the read past the end.
    if (now != sourceAtOpen_ || sourceLengthIsWrong()) {
        CopyDone = false;
        message(copy_messages::kSourceChanged, rt::kCriticalOk);
    }
}

bool CopyRun::sourceLengthIsWrong() {
    rt::Files& files = runtime_.files();
    char byte = 0;
    try {
        const int32_t position = files.seek(sourceFile_);
        // The last byte is there, and nothing after it.
        const bool lastThere = sourceLength_ == 0 || files.get(sourceFile_, sourceLength_, &byte, 1) == 1;
        const bool nothingAfter = files.get(sourceFile_, rt::addInt32(sourceLength_, 1), &byte, 1) == 0;
        files.seekTo(sourceFile_, position);
        return !lastThere || !nothingAfter;
    } catch (const rt::RuntimeError&) {
        return false; // unreadable now says nothing about the length; the reads will tell
    }
}

// A folder reached through a link is written where it really lies, and every message names that
// place. A link that leaves the drive the user chose (a folder on a stick that leads into the
// home folder) is refused: the run would write and delete outside the medium in the drive.
bool CopyRun::followTheTargetToWhereItLies() {
    bool throughALink = false;
    try {
        realTarget_ = runtime_.realFolder(TargetFolder);
        throughALink = !dospath::hasDrivePrefix(realTarget_) || !runtime_.drives().samePlace(realTarget_, TargetFolder);
    } catch (const rt::RuntimeError&) {
        return true; // not there yet (an empty drive, say): the run's own steps meet that
    }
    const bool otherDrive = !dospath::hasDrivePrefix(realTarget_) ||
                            dospath::upperAscii(realTarget_[0]) != dospath::upperAscii(TargetFolder[0]);
    if (throughALink && otherDrive) {
        return false;
    }
    // No link, but another letter: a medium's folder reached through the root's tree
    // ("Z:\\media\\floppy0\\"). It is that medium, and gets the care its own letter gets.
    TargetFolder = realTarget_;
    ReassemblerPath = TargetFolder + diskset::kReassembler;
    removable_ = targetIsRemovable();
    return true;
}

// One run per target: a second one would take the first one's files for an older set's and
// remove them while they are written. A removable drive is one target whatever folder of it is
// chosen and whatever disk is in it, or none: its disks change under both runs, and the next
// disk may come up at another mount point than the last.
bool CopyRun::lockTheTarget() {
    std::string key;
    if (removable_) {
        key.append("drive ").push_back(dospath::upperAscii(TargetFolder[0]));
    } else {
        try {
            const rt::FileIdentity folder = runtime_.identity(TargetFolder, rt::Follow::Target);
            key.append("folder ")
                .append(std::to_string(folder.device))
                .append(":")
                .append(std::to_string(folder.inode));
        } catch (const rt::RuntimeError&) {
            key = "path ";
            std::transform(TargetFolder.begin(), TargetFolder.end(), std::back_inserter(key), dospath::upperAscii);
        }
    }
    lock_ = runtime_.lockTarget(key);
    return lock_ != nullptr;
}

} // namespace kopierer
