// The states of the split-and-copy run, the order in which they follow each other, and the few
// actions that move the run elsewhere: a part closed, a part or a disk written anew, a full disk.
#include "CopyRun.h"

#include "ClosedOnExit.h"
#include "CopyControls.h"
#include "CopyMessages.h"
#include "DiskSetWriters.h"
#include "PartSizing.h"
#include "core/DiskSet.h"
#include "core/DosPath.h"
#include "runtime/Checked.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>

namespace kopierer {

namespace {

static_assert(kMaxChunkSize == static_cast<int32_t>(lowio::kChunkBufferSize), "a chunk fills the run's buffer");

constexpr Recovery::Handler kSource = Recovery::Handler::OnSourceError;
constexpr Recovery::Handler kTarget = Recovery::Handler::OnTargetError;
constexpr Recovery::Handler kWrite = Recovery::Handler::OnWriteError;

} // namespace

CopyRun::CopyRun(rt::Runtime& runtime, CopyControls& controls, const SourceSelection& source,
                 const ReassemblerChoice& reassembler)
    : runtime_(runtime), controls_(controls), source_(source), reassembler_(reassembler), sourceFile_(runtime.files()),
      buffer_(std::make_unique_for_overwrite<lowio::ChunkBuffer>()),
      recovery_(runtime, TargetFolder, [this](Outcome outcome) { apply(outcome); }), disks_(runtime),
      guard_(runtime, recovery_, disks_, source, reassembler_) {}

void CopyRun::run() {
    while (step_ != Step::Done) {
        try {
            step_ = perform(step_);
        } catch (const ContinueAt& continuation) {
            step_ = continuation.step;
        }
    }
}

CopyRun::Step CopyRun::perform(Step step) {
    // In the order of the steps.
    static constexpr Step (CopyRun::*kSteps[])() = {
        &CopyRun::settings,      &CopyRun::openSource, &CopyRun::checkTarget,    &CopyRun::mainLoop,
        &CopyRun::partStart,     &CopyRun::diskStart,  &CopyRun::firstDiskFiles, &CopyRun::numberPart,
        &CopyRun::removeOldPart, &CopyRun::openPart,   &CopyRun::sizeChunk,      &CopyRun::chunkYield,
        &CopyRun::readChunk,     &CopyRun::writeChunk, &CopyRun::finish,         &CopyRun::closeSource,
        &CopyRun::report,
    };
    static_assert(std::size(kSteps) == static_cast<std::size_t>(Step::Done));
    return (this->*kSteps[static_cast<std::size_t>(step)])();
}

CopyRun::Step CopyRun::settings() {
    options_ = readCopyOptions(controls_);
    TargetFolder = dospath::withTrailingBackslash(options_.folder);
    ReassemblerPath = TargetFolder + diskset::kReassembler;
    removable_ = guard_.isRemovable(TargetFolder);
    MaxPartSize = options_.partLimit;
    // A limit below one byte would open empty parts without end; refuse it before anything
    // is opened or written.
    if (MaxPartSize <= 0) {
        recovery_.message(messages::kPartSizeTooSmall, rt::kCriticalOk);
        return Step::Done;
    }
    return Step::OpenSource;
}

CopyRun::Step CopyRun::openSource() {
    recovery_.attempt(recovery_.named(kSource), [&] { sourceFile_.open(source_.SourcePath); });
    recovery_.endOfGroup();
    sourceFile_.measure(); // nothing is in force here: a failure is an error nobody handles
    guard_.knowTheSource(sourceFile_.atOpen());
    // A file that gives more or less than its length says (a file of the system's own, say)
    // would be cut off or never end; nothing of it is written.
    if (sourceFile_.lengthIsWrong()) {
        recovery_.message(messages::kSourceSizeWrong, rt::kCriticalOk);
        return Step::CloseSource;
    }
    if (guard_.needsTooManyParts(options_.toDiskette, sourceFile_.length(), MaxPartSize)) {
        recovery_.message(messages::kTooManyParts, rt::kCriticalOk);
        return Step::CloseSource;
    }
    return Step::CheckTarget;
}

// Before anything is written: the set's own names must not meet the file being split, and a
// folder that is not a removable medium is emptied only when the user says so.
CopyRun::Step CopyRun::checkTarget() {
    if (sourceFile_.length() == 0) {
        return Step::MainLoop; // nothing will be written at all
    }
    if (!guard_.followToWhereItLies(TargetFolder)) {
        recovery_.message(messages::targetLeavesItsDrive(TargetFolder, guard_.realFolder()), rt::kCriticalOk);
        return Step::CloseSource;
    }
    ReassemblerPath = TargetFolder + diskset::kReassembler;
    removable_ = guard_.isRemovable(TargetFolder);
    if (!guard_.lock(TargetFolder, removable_)) {
        recovery_.message(messages::kTargetBusy, rt::kCriticalOk);
        return Step::CloseSource;
    }
    const std::optional<std::vector<std::string>> names = guard_.namesIn(TargetFolder);
    if (!names) {
        return Step::MainLoop;
    }
    if (guard_.aSetNameIsTheSource(TargetFolder, *names)) {
        recovery_.message(messages::kSourceInTarget, rt::kCriticalOk);
        return Step::CloseSource;
    }
    if (options_.wipe && !guard_.isRemovableRoot(TargetFolder)) {
        const int files = guard_.filesTheWipeWouldDelete(TargetFolder, *names);
        if (files > 0 && recovery_.message(messages::wipeQuestion(TargetFolder, files), rt::kQuestionYesNoDefaultNo) !=
                             rt::kResultYes) {
            return Step::CloseSource;
        }
    }
    return Step::MainLoop;
}

CopyRun::Step CopyRun::mainLoop() {
    SourcePos = recovery_.attempt(recovery_.inForce(), [&] { return runtime_.files().seek(sourceFile_.number()); });
    const int32_t lengthNow =
        recovery_.attempt(recovery_.inForce(), [&] { return runtime_.files().lof(sourceFile_.number()); });
    // The trailer promises the length the source had when it was opened; parts of a source that
    // grew or shrank since would not restore it.
    if (lengthNow != sourceFile_.length()) {
        apply(recovery_.refuse(messages::kSourceChanged));
    }
    Remaining = recovery_.attempt(recovery_.inForce(),
                                  [&] { return rt::addInt32(rt::subInt32(sourceFile_.length(), SourcePos), 1); });
    if (Remaining == 0) {
        CopyDone = true;
        return Step::Finish;
    }
    return Step::PartStart;
}

// PartStart
CopyRun::Step CopyRun::partStart() {
    if (PartOpen) {
        return Step::SizeChunk;
    }
    return NewDiskNeeded ? Step::DiskStart : Step::NumberPart;
}

// DiskStart. When the disk turns out to hold this run's own files and the user puts in another
// one, that disk gets the whole disk start again, the wipe included.
CopyRun::Step CopyRun::diskStart() {
    disks_.diskStarts({SourcePos, PartCounter, PartHasData});
    if (options_.wipe) {
        const bool wiped = wayIsClear(guard_.wipe(TargetFolder));
        recovery_.endOfGroup();
        if (!wiped) {
            return Step::DiskStart;
        }
    }
    // Parts of an older set on this disk could pass for parts of this one when the set is
    // joined; they go before this set writes here.
    if (!wayIsClear(guard_.clearOlderParts(TargetFolder))) {
        return Step::DiskStart;
    }
    return PartCounter != 0 ? Step::NumberPart : Step::FirstDiskFiles;
}

CopyRun::Step CopyRun::firstDiskFiles() {
    // Every file operation of the first disk's own files runs under OnTargetError.
    const Attempt underTarget = [this](const std::function<void()>& op) {
        recovery_.attempt(recovery_.named(kTarget), op);
    };
    // A fixed drive keeps its disk, and its end flush reports what the medium says; a
    // reassembler that reads back wrong from a removable one makes the whole set unrestorable.
    const auto readBack = [this](const std::string& path, const std::string& bytes) {
        if (removable_) {
            disks_.readBack(path, bytes, *buffer_);
        }
    };
    recovery_.endOfGroup();
    if (!wayIsClear(guard_.clearName(ReassemblerPath, kTarget))) {
        return Step::DiskStart;
    }
    try {
        copyReassembler(runtime_, reassembler_.shipped, ReassemblerPath, underTarget);
        const Written trailer = writeTrailer(runtime_, ReassemblerPath, source_, reassembler_.trailerText, underTarget);
        if (trailer.sourceLength != sourceFile_.length()) {
            apply(recovery_.refuse(messages::kSourceChanged));
        }
        readBack(ReassemblerPath, disks_.contentsOf(reassembler_.shipped) + trailer.bytes);
        underTarget([&] { disks_.finishedOnThisDisk(ReassemblerPath); });
        if (options_.autorun) {
            const std::string autorun = TargetFolder + diskset::kAutorun;
            if (!wayIsClear(guard_.clearName(autorun, kTarget))) {
                return Step::DiskStart;
            }
            readBack(autorun, writeAutorun(runtime_, TargetFolder, underTarget).bytes);
            underTarget([&] { disks_.finishedOnThisDisk(autorun); });
        }
    } catch (const rt::RuntimeError& error) {
        // Only a close or a read-back leaves the writers with an error: the medium did not take
        // the file, and closing it again would not bring it back. The first disk's files are
        // written anew.
        apply(recovery_.OnTargetError(error));
        writeTheDiskAnew();
    }
    recovery_.endOfGroup();
    return Step::NumberPart;
}

CopyRun::Step CopyRun::numberPart() {
    if (PartHasData || PartCounter == 0) {
        PartCounter = recovery_.attempt(recovery_.inForce(), [&] { return rt::addInt16(PartCounter, 1); });
        PartHasData = false;
    }
    PartName = recovery_.attempt(recovery_.inForce(), [&] { return partFileName(TargetFolder, PartCounter); });
    return Step::RemoveOldPart;
}

CopyRun::Step CopyRun::removeOldPart() {
    // The search has no handler of its own; removing what it finds runs under OnTargetError.
    if (!wayIsClear(guard_.clearName(PartName, Handler::None))) {
        // Another disk is in: it gets what every new disk gets, the wipe included.
        return Step::DiskStart;
    }
    return Step::OpenPart;
}

CopyRun::Step CopyRun::openPart() {
    recovery_.attempt(recovery_.named(kTarget), [&] {
        const int number = runtime_.files().freeFile();
        runtime_.files().open(number, PartName, rt::OpenMode::BinaryWrite);
        partFile_ = number;
    });
    PartOpen = true;
    partFirstPos_ = SourcePos;
    partLength_ = 0;
    recovery_.endOfGroup();
    return Step::SizeChunk;
}

CopyRun::Step CopyRun::sizeChunk() {
    ChunkSize = std::min(Remaining, kMaxChunkSize);
    PartRoom = recovery_.attempt(recovery_.inForce(),
                                 [&] { return rt::subInt32(MaxPartSize, runtime_.files().lof(partFile_)); });
    if (PartRoom <= 0) {
        closePart();
        recovery_.endOfGroup();
        return Step::PartStart;
    }
    ChunkSize = std::min(ChunkSize, PartRoom);
    return Step::ChunkYield;
}

// ChunkYield
CopyRun::Step CopyRun::chunkYield() {
    recovery_.attempt(recovery_.inForce(), [&] { runtime_.doEvents(); });
    return Step::ReadChunk;
}

CopyRun::Step CopyRun::readChunk() {
    const auto size = static_cast<std::size_t>(ChunkSize);
    recovery_.attempt(recovery_.named(kSource), [&] {
        // A source that shrank during the run must not leave zeros in a part.
        if (runtime_.files().get(sourceFile_.number(), SourcePos, buffer_->bytes, size) != size) {
            rt::raise(rt::kInputPastEnd);
        }
    });
    return Step::WriteChunk;
}

CopyRun::Step CopyRun::writeChunk() {
    recovery_.attempt(recovery_.named(kWrite),
                      [&] { runtime_.files().put(partFile_, buffer_->bytes, static_cast<std::size_t>(ChunkSize)); });
    recovery_.endOfGroup();
    PartHasData = true;
    NewDiskNeeded = false;
    partLength_ += ChunkSize;
    const double share = static_cast<double>(SourcePos - 1) / static_cast<double>(sourceFile_.length()) * 100.0;
    controls_.setPbarValue(static_cast<float>(share));
    return Step::MainLoop;
}

// Finish
CopyRun::Step CopyRun::finish() {
    if (PartOpen) {
        closePart();
        recovery_.endOfGroup();
    }
    // "Finished" only once the medium holds every part.
    if (CopyDone) {
        flushClosedParts();
    }
    return Step::CloseSource;
}

CopyRun::Step CopyRun::closeSource() {
    // "Finished" means the parts hold the source as it was opened, unchanged to the last byte.
    if (CopyDone && sourceFile_.changedSinceOpened()) {
        CopyDone = false;
        recovery_.message(messages::kSourceChanged, rt::kCriticalOk);
    }
    recovery_.attempt(recovery_.named(kSource), [&] { runtime_.files().close(sourceFile_.number()); });
    recovery_.endOfGroup();
    return Step::Report;
}

CopyRun::Step CopyRun::report() {
    if (CopyDone) {
        recovery_.message(messages::kCopyFinished, rt::kInfoOk);
    }
    controls_.setPbarValue(0.0F);
    return Step::Done;
}

void CopyRun::apply(Outcome outcome) {
    switch (outcome) {
    case Outcome::GoOn:
        return;
    case Outcome::Retry:
        // The user may have put in another disk at the dialog; the run cannot see a swap, so it
        // looks at the disk: one that does not hold what this run wrote on it is a new disk.
        if (removable_ && disks_.inUse() && !disks_.sameDiskStillIn(PartOpen, PartName, partFile_)) {
            writeTheDiskAnew();
        }
        return;
    case Outcome::HalveChunk:
        // The same source bytes are tried again in a smaller chunk; only below the smallest
        // size does the disk count as full.
        ChunkSize /= 2;
        if (ChunkSize >= kMinChunkSize) {
            throw ContinueAt{Step::ChunkYield};
        }
        diskFull();
    case Outcome::GiveUp:
        CopyDone = false;
        // Giving up continues at Finish; giving up inside Finish itself (a close that keeps
        // failing) goes on with the next of its steps, or the user could never leave the dialog.
        switch (step_) {
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

bool CopyRun::wayIsClear(TargetGuard::Clearing clearing) {
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

void CopyRun::closePart() {
    PartOpen = false;
    std::optional<rt::RuntimeError> failure;
    try {
        // A fixed drive keeps its disk: the parts go to the medium together before the end.
        runtime_.files().close(partFile_, removable_ ? rt::Flush::Now : rt::Flush::Later);
    } catch (const rt::RuntimeError& error) {
        failure = error;
    }
    disks_.seeThePart(PartName);
    if (failure) {
        writeAnewAfter(*failure);
    }
    if (removable_) {
        verifyPart();
    }
    recovery_.attempt(kTarget, [&] { disks_.finishedOnThisDisk(PartName); });
    if (!removable_) {
        disks_.closedWithoutFlush({PartName, PartCounter, partFirstPos_});
    }
}

void CopyRun::verifyPart() {
    rt::Files& files = runtime_.files();
    const int32_t resumeAt = files.seek(sourceFile_.number());
    try {
        disks_.readBack(
            PartName, partLength_,
            [&](int32_t offset, std::size_t size, char* into) {
                recovery_.attempt(kSource, [&] {
                    if (files.get(sourceFile_.number(), partFirstPos_ + offset, into, size) != size) {
                        rt::raise(rt::kInputPastEnd);
                    }
                });
            },
            *buffer_);
    } catch (const rt::RuntimeError& error) {
        writeAnewAfter(error);
    }
    files.seekTo(sourceFile_.number(), resumeAt);
}

void CopyRun::flushClosedParts() {
    if (removable_) {
        return; // each part was flushed and read back as it was closed
    }
    const std::optional<DiskTracker::FlushFailure> failed = disks_.flushClosedParts(TargetFolder);
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
    PartCounter = failed->part.counter;
    PartHasData = false;
    writeAnewFrom(failed->part.firstPos);
}

void CopyRun::diskFull() {
    if (!PartHasData) {
        runtime_.files().close(partFile_);
        PartOpen = false;
        runtime_.kill(PartName);
    } else {
        closePart();
    }
    // A folder on a fixed disk has no next diskette, only room the user can make: the run goes
    // on in the same folder with the next part, the wipe not repeated.
    const bool removable = guard_.isRemovable(TargetFolder);
    apply(recovery_.askUntilOk(removable ? messages::kDiskFull : messages::kFolderFull, rt::kInfoOkCancel));
    NewDiskNeeded = removable;
    throw ContinueAt{Step::PartStart};
}

void CopyRun::writeAnewAfter(const rt::RuntimeError& error) {
    // OK or giving up; a swap of the disk is looked at here, not in the dialog.
    apply(recovery_.OnTargetError(error));
    if (removable_ && !disks_.sameDiskStillIn(PartOpen, PartName, partFile_)) {
        writeTheDiskAnew();
    }
    PartHasData = false; // the same number again
    writeAnewFrom(partFirstPos_);
}

// Everything since the disk began is written again, onto whatever disk is in the drive now;
// the files left on the disk that was taken out are no longer this run's.
void CopyRun::writeTheDiskAnew() {
    const DiskTracker::Began began = disks_.began();
    PartCounter = began.partCounter;
    PartHasData = began.partHasData;
    disks_.forgetTheDisk();
    NewDiskNeeded = true;
    writeAnewFrom(began.sourcePos);
}

void CopyRun::writeAnewFrom(int32_t sourcePos) {
    if (PartOpen) {
        // The part is written anew: whatever its close says no longer matters.
        PartOpen = false;
        const ClosedOnExit closed(runtime_.files(), partFile_);
    }
    CopyDone = false;
    runtime_.files().seekTo(sourceFile_.number(), sourcePos);
    throw ContinueAt{Step::MainLoop};
}

} // namespace kopierer
