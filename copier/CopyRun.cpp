// The states of the split-and-copy run and the order in which they follow each other.
#include "CopyRun.h"

#include "CopyControls.h"
#include "CopyMessages.h"
#include "PartSizing.h"
#include "core/DiskSet.h"
#include "core/DosPath.h"
#include "runtime/Checked.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>

namespace kopierer {

namespace {

static_assert(kMaxChunkSize == static_cast<int32_t>(lowio::kChunkBufferSize), "a chunk fills the run's buffer");

// How often, in source bytes, the run asks whether the source still has its length.
constexpr int64_t kLengthCheckStep = 4 * 1024 * 1024;
constexpr Recovery::Handler kSource = Recovery::Handler::OnSourceError;
constexpr Recovery::Handler kTarget = Recovery::Handler::OnTargetError;
constexpr Recovery::Handler kWrite = Recovery::Handler::OnWriteError;

} // namespace

CopyRun::CopyRun(rt::Runtime& runtime, CopyControls& controls, const core::SourceSelection& source,
                 const core::ReassemblerChoice& reassembler)
    : runtime_(runtime), controls_(controls), source_(source), reassembler_(reassembler), sourceFile_(runtime.files()),
      buffer_(std::make_unique_for_overwrite<lowio::ChunkBuffer>()),
      recovery_(runtime, TargetFolder, [this](Recovery::Outcome outcome) { medium_.apply(outcome); }), disks_(runtime),
      guard_(runtime, recovery_, disks_, source, reassembler_), pieces_(runtime, recovery_, sourceFile_, controls),
      medium_(runtime, *this, recovery_, disks_, guard_, sourceFile_, pieces_, *buffer_) {}

void CopyRun::run() {
    while (step != Step::Done) {
        try {
            step = perform(step);
        } catch (const ContinueAt& continuation) {
            step = continuation.step;
        }
    }
}

Step CopyRun::perform(Step next) {
    // In the order of the steps.
    static constexpr Step (CopyRun::*kSteps[])() = {
        &CopyRun::settings,      &CopyRun::openSource, &CopyRun::checkTarget,    &CopyRun::mainLoop,
        &CopyRun::partStart,     &CopyRun::diskStart,  &CopyRun::firstDiskFiles, &CopyRun::numberPart,
        &CopyRun::removeOldPart, &CopyRun::openPart,   &CopyRun::sizeChunk,      &CopyRun::chunkYield,
        &CopyRun::readChunk,     &CopyRun::writeChunk, &CopyRun::finish,         &CopyRun::closeSource,
        &CopyRun::report,
    };
    static_assert(std::size(kSteps) == static_cast<std::size_t>(Step::Done));
    return (this->*kSteps[static_cast<std::size_t>(next)])();
}

Step CopyRun::settings() {
    options_ = readCopyOptions(controls_);
    TargetFolder = core::dospath::withTrailingBackslash(options_.folder);
    ReassemblerPath = TargetFolder + core::diskset::kReassembler;
    removable = guard_.isRemovable(TargetFolder);
    if (!options_.partLimit) {
        recovery_.message(messages::kPartSizeTooLarge, rt::kCriticalOk);
        return Step::Done;
    }
    MaxPartSize = *options_.partLimit;
    // A limit below one byte would open empty parts without end; refuse it before anything
    // is opened or written.
    if (MaxPartSize <= 0) {
        recovery_.message(messages::kPartSizeTooSmall, rt::kCriticalOk);
        return Step::Done;
    }
    return Step::OpenSource;
}

Step CopyRun::openSource() {
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
    const int64_t parts = partsFor(sourceFile_.length(), MaxPartSize);
    if (parts > kMostPartsInASet) {
        recovery_.message(messages::kTooManyPartsInASet, rt::kCriticalOk);
        return Step::CloseSource;
    }
    // In one folder the hundred-and-first part would replace the first.
    if (!options_.toDiskette && parts > kMostPartsInAFolder) {
        const TypedPartSize fits = smallestPartSizeForAFolder(sourceFile_.length());
        recovery_.message(messages::tooManyParts(fits.number, fits.unitListIndex), rt::kCriticalOk);
        return Step::CloseSource;
    }
    return Step::CheckTarget;
}

// Before anything is written: the set's own names must not meet the file being split, and a
// folder that is not a removable medium is emptied only when the user says so.
Step CopyRun::checkTarget() {
    if (sourceFile_.length() == 0) {
        return Step::MainLoop; // nothing will be written at all
    }
    if (!guard_.followToWhereItLies(TargetFolder)) {
        recovery_.message(messages::targetLeavesItsDrive(TargetFolder, guard_.realFolder()), rt::kCriticalOk);
        return Step::CloseSource;
    }
    ReassemblerPath = TargetFolder + core::diskset::kReassembler;
    removable = guard_.isRemovable(TargetFolder);
    if (!guard_.lock(TargetFolder, removable)) {
        recovery_.message(messages::kTargetBusy, rt::kCriticalOk);
        return Step::CloseSource;
    }
    const std::optional<std::vector<std::string>> names = guard_.namesIn(TargetFolder);
    if (!names) {
        return Step::MainLoop;
    }
    if (guard_.aSetNameIsTheSource(TargetFolder, *names, options_.withRecoveryData)) {
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

Step CopyRun::mainLoop() {
    if (recoveryData) {
        SourcePos = pieces_.position();
        Remaining = pieces_.length() - SourcePos + 1;
    } else {
        SourcePos = recovery_.attempt(recovery_.inForce(), [&] { return runtime_.files().seek(sourceFile_.number()); });
        Remaining = sourceFile_.length() - SourcePos + 1;
        checkSourceLength();
    }
    if (Remaining == 0) {
        CopyDone = true;
        return Step::Finish;
    }
    return Step::PartStart;
}

// The trailer promises the length the source had when it was opened; parts of a source that grew
// or shrank since would not restore it. The length is asked before each part, every few MiB and
// at the end: asked at every chunk, the call would cost a twelfth of the run. A source that
// shrank shows at once anyway, as a short read.
void CopyRun::checkSourceLength() {
    const int64_t lengthCheckStep = (SourcePos - 1) / kLengthCheckStep;
    if (!PartOpen || Remaining == 0 || lengthCheckStep != lastLengthCheckStep_) {
        lastLengthCheckStep_ = lengthCheckStep;
        const int64_t lengthNow =
            recovery_.attempt(recovery_.inForce(), [&] { return runtime_.files().lof(sourceFile_.number()); });
        if (lengthNow != sourceFile_.length()) {
            medium_.apply(recovery_.refuse(messages::kSourceChanged));
        }
    }
}

// PartStart
Step CopyRun::partStart() {
    if (PartOpen) {
        return Step::SizeChunk;
    }
    return NewDiskNeeded ? Step::DiskStart : Step::NumberPart;
}

// DiskStart. When the disk turns out to hold this run's own files and the user puts in another
// one, that disk gets the whole disk start again, the wipe included.
Step CopyRun::diskStart() {
    disks_.diskStarts({SourcePos, PartCounter, PartHasData, 0, recoveryData});
    if (options_.wipe) {
        const bool wiped = medium_.wayIsClear(guard_.wipe(TargetFolder));
        recovery_.endOfGroup();
        if (!wiped) {
            return Step::DiskStart;
        }
    }
    // Parts of an older set on this disk could pass for parts of this one when the set is
    // joined; they go before this set writes here.
    if (!medium_.wayIsClear(guard_.clearOlderParts(TargetFolder, options_.withRecoveryData))) {
        return Step::DiskStart;
    }
    return PartCounter != 0 ? Step::NumberPart : Step::FirstDiskFiles;
}

Step CopyRun::firstDiskFiles() {
    // autorun.inf belongs to the first disk of the parts; an Ersatzdiskette gets QUIL.EXE only.
    const bool autorun = options_.autorun && !recoveryData;
    if (!medium_.writeFirstDiskFiles(reassembler_, source_, autorun,
                                     options_.withRecoveryData ? std::optional(pieces_.tie()) : std::nullopt)) {
        return Step::DiskStart;
    }
    return Step::NumberPart;
}

Step CopyRun::numberPart() {
    if (PartHasData || PartCounter == 0) {
        // Full disks may cut parts short of the limit, so the count can pass what was foreseen.
        if (PartCounter == kMostPartsInASet) {
            medium_.apply(recovery_.refuse(messages::kTooManyPartsInASet));
        }
        PartCounter = recovery_.attempt(recovery_.inForce(), [&] { return rt::addInt16(PartCounter, 1); });
        PartHasData = false;
    }
    PartName = recoveryData
                   ? RecoveryDataWriter::pieceName(TargetFolder, PartCounter)
                   : recovery_.attempt(recovery_.inForce(), [&] { return partFileName(TargetFolder, PartCounter); });
    return Step::RemoveOldPart;
}

Step CopyRun::removeOldPart() {
    // The search has no handler of its own; removing what it finds runs under OnTargetError.
    if (!medium_.wayIsClear(guard_.clearName(PartName, Handler::None))) {
        // Another disk is in: it gets what every new disk gets, the wipe included.
        return Step::DiskStart;
    }
    return Step::OpenPart;
}

Step CopyRun::openPart() {
    recovery_.attempt(recovery_.named(kTarget), [&] {
        const int number = runtime_.files().freeFile();
        runtime_.files().open(number, PartName, rt::OpenMode::BinaryWrite);
        partFile = number;
    });
    PartOpen = true;
    partFirstPos = SourcePos;
    partLength = 0;
    recovery_.endOfGroup();
    return Step::SizeChunk;
}

Step CopyRun::sizeChunk() {
    ChunkSize = static_cast<int32_t>(std::min<int64_t>(Remaining, kMaxChunkSize));
    // The recovery data is one file wherever the medium takes it whole: the user's limit is the
    // parts', and the stream is only a little longer than the longest of them.
    const int64_t limit = recoveryData ? std::numeric_limits<int64_t>::max() : MaxPartSize;
    PartRoom = limit - recovery_.attempt(recovery_.inForce(), [&] { return runtime_.files().lof(partFile); });
    if (PartRoom <= 0) {
        medium_.closePart();
        recovery_.endOfGroup();
        return Step::PartStart;
    }
    ChunkSize = static_cast<int32_t>(std::min<int64_t>(ChunkSize, PartRoom));
    return Step::ChunkYield;
}

// ChunkYield
Step CopyRun::chunkYield() {
    recovery_.attempt(recovery_.inForce(), [&] { runtime_.doEvents(); });
    return Step::ReadChunk;
}

Step CopyRun::readChunk() {
    const auto size = static_cast<std::size_t>(ChunkSize);
    if (recoveryData) {
        recovery_.attempt(recovery_.named(kSource), [&] { pieces_.read(SourcePos, buffer_->bytes, size); });
        if (pieces_.sourceChangedSinceCopied()) {
            medium_.apply(recovery_.refuse(messages::kSourceChanged));
        }
        pieces_.seekTo(SourcePos + ChunkSize);
        return Step::WriteChunk;
    }
    recovery_.attempt(recovery_.named(kSource), [&] {
        // A source that shrank during the run must not leave zeros in a part.
        if (runtime_.files().get(sourceFile_.number(), SourcePos, buffer_->bytes, size) != size) {
            rt::raise(rt::kInputPastEnd);
        }
    });
    if (options_.withRecoveryData) {
        pieces_.sourceRead(SourcePos, buffer_->bytes, size);
    }
    return Step::WriteChunk;
}

Step CopyRun::writeChunk() {
    recovery_.attempt(recovery_.named(kWrite),
                      [&] { runtime_.files().put(partFile, buffer_->bytes, static_cast<std::size_t>(ChunkSize)); });
    recovery_.endOfGroup();
    if (recoveryData) {
        pieces_.wrote(partLength, buffer_->bytes, static_cast<std::size_t>(ChunkSize));
    }
    PartHasData = true;
    NewDiskNeeded = false;
    partLength += ChunkSize;
    const int64_t total = recoveryData ? pieces_.length() : sourceFile_.length();
    const double share = static_cast<double>(SourcePos - 1) / static_cast<double>(total) * 100.0;
    controls_.setPbarValue(static_cast<float>(share));
    return Step::MainLoop;
}

// Finish
Step CopyRun::finish() {
    if (PartOpen) {
        medium_.closePart();
        recovery_.endOfGroup();
    }
    // "Finished" only once the medium holds every part.
    if (CopyDone) {
        medium_.flushClosedParts();
        if (options_.withRecoveryData && !recoveryData && sourceFile_.length() > 0) {
            return startRecoveryData();
        }
    }
    return Step::CloseSource;
}

// After the last part, the recovery data: built from the parts as they lie on the media and from
// the source, which must still be what they were written from. A diskette set gets it on
// Ersatzdisketten, the first of them with QUIL.EXE as well, so that the set survives the loss of
// its first disk; any other target beside the parts.
Step CopyRun::startRecoveryData() {
    if (sourceFile_.changedSinceOpened()) {
        medium_.apply(recovery_.refuse(messages::kSourceChanged));
    }
    pieces_.prepare(source_, sourceFile_.length(), options_.toDiskette);
    if (pieces_.sourceChangedSinceCopied()) {
        medium_.apply(recovery_.refuse(messages::kSourceChanged));
    }
    if (options_.toDiskette) {
        medium_.apply(recovery_.askUntilOk(messages::insertSpareDisk(1), rt::kInfoOkCancel));
    }
    recoveryData = true;
    CopyDone = false;
    PartCounter = 0;
    PartHasData = false;
    NewDiskNeeded = options_.toDiskette;
    recovery_.endOfGroup();
    return Step::MainLoop;
}

Step CopyRun::closeSource() {
    // "Finished" means the parts hold the source as it was opened, unchanged to the last byte.
    if (CopyDone && sourceFile_.changedSinceOpened()) {
        CopyDone = false;
        recovery_.message(messages::kSourceChanged, rt::kCriticalOk);
    }
    recovery_.attempt(recovery_.named(kSource), [&] { runtime_.files().close(sourceFile_.number()); });
    recovery_.endOfGroup();
    return Step::Report;
}

Step CopyRun::report() {
    if (CopyDone) {
        recovery_.message(messages::kCopyFinished, rt::kInfoOk);
    }
    controls_.setPbarValue(0.0F);
    return Step::Done;
}

} // namespace kopierer
