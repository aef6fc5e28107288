#include "MediumActions.h"

#include "ClosedOnExit.h"
#include "CopyMessages.h"
#include "DiskSetWriters.h"
#include "DiskTracker.h"
#include "PartSizing.h"
#include "RecoveryDataWriter.h"
#include "SourceFile.h"
#include "core/DiskSet.h"
#include "core/ReassemblerChoice.h"
#include "runtime/Runtime.h"

#include <optional>

namespace kopierer {

MediumActions::MediumActions(rt::Runtime& runtime, RunState& state, Recovery& recovery, DiskTracker& disks,
                             TargetGuard& guard, SourceFile& source, RecoveryDataWriter& pieces,
                             lowio::ChunkBuffer& buffer)
    : runtime_(runtime), run_(state), recovery_(recovery), disks_(disks), guard_(guard), source_(source),
      pieces_(pieces), buffer_(buffer) {}

bool MediumActions::writeFirstDiskFiles(const core::ReassemblerChoice& reassembler, const core::SourceSelection& source,
                                        bool autorun, const std::optional<std::string>& recoveryTie) {
    constexpr Recovery::Handler kTarget = Recovery::Handler::OnTargetError;
    // Every file operation of the first disk's own files runs under OnTargetError.
    const Attempt underTarget = [this](const std::function<void()>& op) {
        recovery_.attempt(recovery_.named(kTarget), op);
    };
    // A fixed drive keeps its disk, and its end flush reports what the medium says; a
    // reassembler that reads back wrong from a removable one makes the whole set unrestorable.
    const auto readBack = [this](const std::string& path, const std::string& bytes) {
        if (run_.removable) {
            disks_.readBack(path, bytes, buffer_);
        }
    };
    const std::string& reassemblerPath = run_.ReassemblerPath;
    recovery_.endOfGroup();
    if (!wayIsClear(guard_.clearName(reassemblerPath, kTarget))) {
        return false;
    }
    try {
        copyReassembler(runtime_, reassembler.shipped, reassemblerPath, underTarget);
        const Written trailer =
            writeTrailer(runtime_, reassemblerPath, source, reassembler.trailerText, underTarget, recoveryTie);
        if (trailer.sourceLength != source_.length()) {
            apply(recovery_.refuse(messages::kSourceChanged));
        }
        readBack(reassemblerPath, disks_.contentsOf(reassembler.shipped) + trailer.bytes);
        underTarget([&] { disks_.finishedOnThisDisk(reassemblerPath); });
        if (autorun) {
            const std::string autorunPath = run_.TargetFolder + core::diskset::kAutorun;
            if (!wayIsClear(guard_.clearName(autorunPath, kTarget))) {
                return false;
            }
            readBack(autorunPath, writeAutorun(runtime_, run_.TargetFolder, underTarget).bytes);
            underTarget([&] { disks_.finishedOnThisDisk(autorunPath); });
        }
    } catch (const rt::RuntimeError& error) {
        // Only a close or a read-back leaves the writers with an error: the medium did not take
        // the file, and closing it again would not bring it back. The first disk's files are
        // written anew.
        apply(recovery_.OnTargetError(error));
        writeTheDiskAnew();
    }
    recovery_.endOfGroup();
    return true;
}

void MediumActions::apply(Recovery::Outcome outcome) {
    using Outcome = Recovery::Outcome;
    switch (outcome) {
    case Outcome::GoOn:
        return;
    case Outcome::Retry:
        // The user may have put in another disk at the dialog; the run cannot see a swap, so it
        // looks at the disk: one that does not hold what this run wrote on it is a new disk.
        if (run_.removable && disks_.inUse() && !disks_.sameDiskStillIn(run_.PartOpen, run_.PartName, run_.partFile)) {
            writeTheDiskAnew();
        }
        return;
    case Outcome::HalveChunk:
    case Outcome::PartAtItsLimit:
        // The same source bytes are tried again in a smaller chunk, which brings a part to within
        // a kilobyte of a medium's limit. Below the smallest size a part at its limit is
        // closed with what it holds, and the next part goes on the same medium without a
        // question; otherwise (or when not even the first chunk went in) the disk is full.
        run_.ChunkSize /= 2;
        if (run_.ChunkSize >= kMinChunkSize) {
            throw ContinueAt{Step::ChunkYield};
        }
        if (outcome == Outcome::PartAtItsLimit && run_.PartHasData) {
            closePart();
            throw ContinueAt{Step::PartStart};
        }
        diskFull();
    case Outcome::GiveUp:
        run_.CopyDone = false;
        // Giving up continues at Finish; giving up inside Finish itself (a close that keeps
        // failing) goes on with the next of its steps, or the user could never leave the dialog.
        switch (run_.step) {
        case Step::Finish:
            throw ContinueAt{Step::CloseSource};
        case Step::CloseSource:
        case Step::Report:
            throw ContinueAt{Step::Report};
        default:
            throw ContinueAt{Step::Finish};
        }
    }
}

bool MediumActions::wayIsClear(TargetGuard::Clearing clearing) {
    switch (clearing) {
    case TargetGuard::Clearing::TheSource:
        apply(recovery_.refuse(messages::kSourceInTarget));
        return false;
    case TargetGuard::Clearing::OwnFile:
        // Returns when the user has put in another disk and answered OK.
        apply(recovery_.askUntilOk(messages::kOwnPartsOnDisk, rt::kInfoOkCancel));
        return false;
    case TargetGuard::Clearing::Cleared:
        break;
    }
    return true;
}

void MediumActions::closePart() {
    run_.PartOpen = false;
    std::optional<rt::RuntimeError> failure;
    try {
        // A fixed drive keeps its disk: the parts go to the medium together before the end.
        runtime_.files().close(run_.partFile, run_.removable ? rt::Flush::Now : rt::Flush::Later);
    } catch (const rt::RuntimeError& error) {
        failure = error;
    }
    disks_.seeThePart(run_.PartName);
    if (failure) {
        writeAnewAfter(*failure);
    }
    if (run_.removable) {
        verifyPart();
    }
    recovery_.attempt(Recovery::Handler::OnTargetError, [&] { disks_.finishedOnThisDisk(run_.PartName); });
    if (!run_.recoveryData) {
        pieces_.partWritten(run_.PartName, run_.partFirstPos, run_.partLength);
    }
    if (!run_.removable) {
        disks_.closedWithoutFlush({run_.PartName, run_.PartCounter, run_.partFirstPos});
    }
}

void MediumActions::verifyPart() {
    rt::Files& files = runtime_.files();
    const int64_t resumeAt = files.seek(source_.number());
    try {
        if (run_.recoveryData) {
            disks_.readBack(run_.PartName, run_.partLength, pieces_.pieceWritten());
            return;
        }
        disks_.readBack(
            run_.PartName, run_.partLength,
            [&](int64_t offset, std::size_t size, char* into) {
                recovery_.attempt(Recovery::Handler::OnSourceError, [&] {
                    if (files.get(source_.number(), run_.partFirstPos + offset, into, size) != size) {
                        rt::raise(rt::kInputPastEnd);
                    }
                });
            },
            buffer_);
    } catch (const rt::RuntimeError& error) {
        writeAnewAfter(error);
    }
    files.seekTo(source_.number(), resumeAt);
}

void MediumActions::flushClosedParts() {
    if (run_.removable) {
        return; // each part was flushed and read back as it was closed
    }
    const std::optional<DiskTracker::FlushFailure> failed = disks_.flushClosedParts(run_.TargetFolder);
    if (!failed && disks_.theSetIsStillThere()) {
        return;
    }
    apply(recovery_.OnTargetError(failed ? failed->error : rt::RuntimeError(rt::kFileNotFound)));
    // A folder that no longer holds what the run wrote (deleted and made anew by a clean-up or
    // sync tool, say) gets the whole set again, the reassembler first.
    if (!failed || !disks_.theSetIsStillThere()) {
        writeTheDiskAnew();
    }
    // Otherwise the part is written anew, and so is every part after it: the run writes parts in
    // order, and each of them will be flushed again.
    disks_.forgetUnflushed();
    run_.PartCounter = failed->part.counter;
    run_.PartHasData = false;
    writeAnewFrom(failed->part.firstPos);
}

void MediumActions::diskFull() {
    if (!run_.PartHasData) {
        runtime_.files().close(run_.partFile);
        run_.PartOpen = false;
        runtime_.kill(run_.PartName);
    } else {
        closePart();
    }
    // A folder on a fixed disk has no next diskette, only room the user can make: the run goes
    // on in the same folder with the next part, the wipe not repeated.
    const bool removable = guard_.isRemovable(run_.TargetFolder);
    std::string prompt = removable ? messages::kDiskFull : messages::kFolderFull;
    if (removable && run_.recoveryData && pieces_.onSpareDisks()) {
        prompt = messages::spareDiskFull(pieces_.nextSpareDisk());
    }
    apply(recovery_.askUntilOk(prompt, rt::kInfoOkCancel));
    run_.NewDiskNeeded = removable;
    throw ContinueAt{Step::PartStart};
}

void MediumActions::writeAnewAfter(const rt::RuntimeError& error) {
    // OK or giving up; a swap of the disk is looked at here, not in the dialog.
    apply(recovery_.OnTargetError(error));
    if (run_.removable && !disks_.sameDiskStillIn(run_.PartOpen, run_.PartName, run_.partFile)) {
        writeTheDiskAnew();
    }
    run_.PartHasData = false; // the same number again
    writeAnewFrom(run_.partFirstPos);
}

// The files left on the disk that was taken out are no longer this run's.
void MediumActions::writeTheDiskAnew() {
    const DiskTracker::Began began = disks_.began();
    run_.PartCounter = began.partCounter;
    run_.PartHasData = began.partHasData;
    // A disk of parts written anew is followed by the recovery data anew, made from the parts then.
    run_.recoveryData = began.recoveryData;
    disks_.forgetTheDisk();
    run_.NewDiskNeeded = true;
    writeAnewFrom(began.sourcePos);
}

void MediumActions::writeAnewFrom(int64_t sourcePos) {
    if (run_.PartOpen) {
        // The part is written anew: whatever its close says no longer matters.
        run_.PartOpen = false;
        const ClosedOnExit closed(runtime_.files(), run_.partFile);
    }
    run_.CopyDone = false;
    if (run_.recoveryData) {
        pieces_.seekTo(sourcePos);
    } else {
        runtime_.files().seekTo(source_.number(), sourcePos);
    }
    throw ContinueAt{Step::MainLoop};
}

} // namespace kopierer
