// The states of the split-and-copy run and the order in which they follow each other.
#include "CopyRun.h"

#include "CopyControls.h"
#include "CopyMessages.h"
#include "DiskSetWriters.h"
#include "PartSizing.h"
#include "core/DiskSet.h"
#include "core/DosPath.h"
#include "runtime/Checked.h"
#include "runtime/Runtime.h"

#include <algorithm>

namespace kopierer {

namespace {

static_assert(kMaxChunkSize == static_cast<int32_t>(lowio::kChunkBufferSize), "a chunk fills the run's buffer");

} // namespace

CopyRun::CopyRun(rt::Runtime& runtime, CopyControls& controls, const SourceSelection& source,
                 const ReassemblerChoice& reassembler)
    : runtime_(runtime), controls_(controls), source_(source), reassembler_(reassembler) {}

void CopyRun::run() {
    Step step = Step::Settings;
    while (step != Step::Done) {
        try {
            step = perform(step);
        } catch (const ContinueAt& continuation) {
            step = continuation.step == Step::Finish ? whereAbortContinues(step) : continuation.step;
        }
    }
}

// Giving up continues at Finish; giving up inside Finish itself (a close that keeps failing)
// goes on with the next of its steps, or the user could never leave the dialog.
CopyRun::Step CopyRun::whereAbortContinues(Step current) const {
    switch (current) {
    case Step::Finish:
        return Step::CloseSource;
    case Step::CloseSource:
    case Step::Report:
        return Step::Report;
    default:
        return Step::Finish;
    }
}

CopyRun::Step CopyRun::perform(Step step) {
    switch (step) {
    case Step::Settings:
        return settings();
    case Step::OpenSource:
        return openSource();
    case Step::CheckTarget:
        return checkTarget();
    case Step::MainLoop:
        return mainLoop();
    case Step::PartStart:
        return partStart();
    case Step::DiskStart:
        return diskStart();
    case Step::FirstDiskFiles:
        return firstDiskFiles();
    case Step::NumberPart:
        return numberPart();
    case Step::RemoveOldPart:
        return removeOldPart();
    case Step::OpenPart:
        return openPart();
    case Step::SizeChunk:
        return sizeChunk();
    case Step::ChunkYield:
        return chunkYield();
    case Step::ReadChunk:
        return readChunk();
    case Step::WriteChunk:
        return writeChunk();
    case Step::Finish:
        return finish();
    case Step::CloseSource:
        return closeSource();
    case Step::Report:
        return report();
    case Step::Done:
        break;
    }
    return Step::Done;
}

CopyRun::Step CopyRun::settings() {
    TargetFolder = controls_.optValue(0) ? std::string("A:") : controls_.dir1Path();
    TargetFolder = dospath::withTrailingBackslash(TargetFolder);
    ReassemblerPath = TargetFolder + diskset::kReassembler;
    removable_ = targetIsRemovable();
    if (controls_.chkValue(0) != 0) {
        MaxPartSize = maxPartSize(controls_.zahlText(), controls_.unitListIndex());
    } else {
        MaxPartSize = kDefaultMaxPartSize;
    }
    // A limit below one byte would open empty parts without end; refuse it before anything
    // is opened or written.
    if (MaxPartSize <= 0) {
        message(copy_messages::kPartSizeTooSmall, rt::kCriticalOk);
        return Step::Done;
    }
    return Step::OpenSource;
}

CopyRun::Step CopyRun::openSource() {
    guarded(Handler::OnSourceError, [&] {
        const int number = runtime_.files().freeFile();
        runtime_.files().open(number, source_.SourcePath, rt::OpenMode::BinaryRead);
        sourceFile_ = number;
    });
    endOfGroup();
    sourceAtOpen_ = carried([&] { return runtime_.files().identity(sourceFile_); });
    sourceLength_ = carried([&] { return rt::toInt32(sourceAtOpen_.size); });
    sourceIdentities_ = identitiesOf({source_.SourcePath});
    sourceIdentities_.push_back(sourceAtOpen_);
    // A file that gives more or less than its length says (a file of the system's own, say)
    // would be cut off or never end; nothing of it is written.
    if (sourceLengthIsWrong()) {
        message(copy_messages::kSourceSizeWrong, rt::kCriticalOk);
        return Step::CloseSource;
    }
    if (sourceNeedsTooManyParts(sourceLength_)) {
        message(copy_messages::kTooManyParts, rt::kCriticalOk);
        return Step::CloseSource;
    }
    return Step::CheckTarget;
}

CopyRun::Step CopyRun::mainLoop() {
    SourcePos = carried([&] { return runtime_.files().seek(sourceFile_); });
    const int32_t lengthNow = carried([&] { return runtime_.files().lof(sourceFile_); });
    // The trailer promises the length the source had when it was opened; parts of a source that
    // grew or shrank since would not restore it.
    if (lengthNow != sourceLength_) {
        refuse(copy_messages::kSourceChanged);
    }
    Remaining = carried([&] { return rt::addInt32(rt::subInt32(sourceLength_, SourcePos), 1); });
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

// DiskStart
CopyRun::Step CopyRun::diskStart() {
    // Everything from here on lies on this disk, until the next one is asked for.
    diskBegan_ = {SourcePos, PartCounter, PartHasData, written_.size()};
    diskInUse_ = true;
    anchor_.reset();
    // When the disk turns out to hold this run's own files and the user puts in another one,
    // that disk gets the whole disk start again, the wipe included.
    if (controls_.chkValue(2) != 0) {
        const bool wiped = wipeTarget();
        endOfGroup();
        if (!wiped) {
            return Step::DiskStart;
        }
    }
    // Parts of an older set on this disk could pass for parts of this one when the set is
    // joined; they go before this set writes here.
    if (!removeOlderParts()) {
        return Step::DiskStart;
    }
    return PartCounter != 0 ? Step::NumberPart : Step::FirstDiskFiles;
}

// Empties the target folder, dot files excepted. Returns false when the disk holds files of
// this run and the user has put in another one: the new disk is then searched from the start.
bool CopyRun::wipeTarget() {
    // Neither the file being split nor the program and the reassembler it ships may go, should
    // the user pick their folder as the target.
    const std::vector<rt::FileIdentity> keep = identitiesOf(filesTheWipeKeeps());
    constexpr Handler kWipe = Handler::OnWipeError;
    std::string name = guarded(kWipe, [&] { return runtime_.dir().first(TargetFolder + "*.*", rt::kSearchAll); });
    while (!name.empty()) {
        if (name.front() != '.') {
            const std::string path = TargetFolder + name;
            const rt::FileIdentity identity = guarded(kWipe, [&] { return runtime_.identity(path); });
            if (isWrittenThisRun(identity)) {
                askForAnotherDisk();
                return false;
            }
            if (!isOneOf(identity, keep)) {
                // Cleared and deleted in one: a read-only file may have another name outside the
                // target, which must stay as protected as it was.
                guarded(kWipe, [&] { runtime_.killForced(path); });
                guarded(kWipe, [&] { runtime_.doEvents(); });
            }
        }
        name = guarded(kWipe, [&] { return runtime_.dir().next(); });
    }
    return true;
}

// Every QUILMEnn.sys on the disk that this run did not write. Returns false when the disk
// holds this run's own parts and the user has put in another one.
bool CopyRun::removeOlderParts() {
    // After a change of disk the search runs under the handler that asked for the disk; on the
    // first disk under the target's.
    constexpr Handler kTarget = Handler::OnTargetError;
    std::vector<std::string> parts;
    for (std::string name =
             carriedOr(kTarget, [&] { return runtime_.dir().first(TargetFolder + "QUILME??.sys", rt::kSearchAll); });
         !name.empty(); name = carriedOr(kTarget, [&] { return runtime_.dir().next(); })) {
        if (diskset::isPartName(name)) {
            parts.push_back(name);
        }
    }
    for (const std::string& name : parts) {
        if (!clearName(TargetFolder + name, kTarget)) {
            return false;
        }
    }
    return true;
}

// Clears the way for one file of the set. The search ignores letter case, a case-sensitive file
// system does not: every spelling goes, under the name the search found, so that a leftover
// cannot keep its bytes behind the new file's end.
bool CopyRun::clearName(const std::string& path, Handler searchGuard) {
    const std::string folder = dospath::folderWithSeparator(path);
    std::vector<std::string> found;
    for (std::string name = carriedOr(searchGuard, [&] { return runtime_.dir().first(path, rt::kSearchAll); });
         !name.empty(); name = carriedOr(searchGuard, [&] { return runtime_.dir().next(); })) {
        found.push_back(folder + name);
    }
    for (const std::string& entry : found) {
        const std::optional<rt::FileIdentity> identity = identityIfThere(entry);
        if (!identity) {
            continue; // gone meanwhile
        }
        if (isTheSource(*identity)) {
            refuse(copy_messages::kSourceInTarget);
        }
        if (isWrittenThisRun(*identity)) {
            askForAnotherDisk();
            return false;
        }
        guarded(Handler::OnTargetError, [&] { runtime_.killForced(entry); });
    }
    return true;
}

CopyRun::Step CopyRun::firstDiskFiles() {
    // Every file operation of the first disk's own files runs under OnTargetError.
    constexpr Handler kTarget = Handler::OnTargetError;
    const Attempt underTarget = [this](const std::function<void()>& op) { guarded(kTarget, op); };
    endOfGroup();
    if (!clearName(ReassemblerPath, kTarget)) {
        return Step::DiskStart;
    }
    try {
        copyReassembler(runtime_, reassembler_.shipped, ReassemblerPath, underTarget);
        const Written trailer = writeTrailer(runtime_, ReassemblerPath, source_, reassembler_.trailerText, underTarget);
        if (trailer.sourceLength != sourceLength_) {
            refuse(copy_messages::kSourceChanged);
        }
        // A reassembler that reads back wrong makes the whole set unrestorable.
        verifyFirstDiskFile(ReassemblerPath, contentsOf(reassembler_.shipped) + trailer.bytes);
        guarded(kTarget, [&] { finishedOnThisDisk(ReassemblerPath); });
        if (controls_.chkValue(1) != 0) {
            const std::string autorun = TargetFolder + diskset::kAutorun;
            if (!clearName(autorun, kTarget)) {
                return Step::DiskStart;
            }
            verifyFirstDiskFile(autorun, writeAutorun(runtime_, TargetFolder, underTarget).bytes);
            guarded(kTarget, [&] { finishedOnThisDisk(autorun); });
        }
    } catch (const rt::RuntimeError& error) {
        // Only a close or a read-back leaves the writers with an error: the medium did not take
        // the file, and closing it again would not bring it back. The first disk's files are
        // written anew.
        OnTargetError(error);
        writeTheDiskAnew();
    }
    endOfGroup();
    return Step::NumberPart;
}

CopyRun::Step CopyRun::numberPart() {
    if (PartHasData || PartCounter == 0) {
        PartCounter = carried([&] { return rt::addInt16(PartCounter, 1); });
        PartHasData = false;
    }
    PartName = carried([&] { return partFileName(TargetFolder, PartCounter); });
    return Step::RemoveOldPart;
}

CopyRun::Step CopyRun::removeOldPart() {
    // The search has no handler of its own; removing what it finds runs under OnTargetError.
    if (!clearName(PartName, Handler::None)) {
        // Another disk is in: it gets what every new disk gets, the wipe included.
        return Step::DiskStart;
    }
    return Step::OpenPart;
}

CopyRun::Step CopyRun::openPart() {
    guarded(Handler::OnTargetError, [&] {
        const int number = runtime_.files().freeFile();
        runtime_.files().open(number, PartName, rt::OpenMode::BinaryWrite);
        partFile_ = number;
    });
    PartOpen = true;
    partFirstPos_ = SourcePos;
    partLength_ = 0;
    endOfGroup();
    return Step::SizeChunk;
}

CopyRun::Step CopyRun::sizeChunk() {
    ChunkSize = std::min(Remaining, kMaxChunkSize);
    PartRoom = carried([&] { return rt::subInt32(MaxPartSize, runtime_.files().lof(partFile_)); });
    if (PartRoom <= 0) {
        closePart();
        endOfGroup();
        return Step::PartStart;
    }
    ChunkSize = std::min(ChunkSize, PartRoom);
    return Step::ChunkYield;
}

// ChunkYield
CopyRun::Step CopyRun::chunkYield() {
    carried([&] { runtime_.doEvents(); });
    return Step::ReadChunk;
}

CopyRun::Step CopyRun::readChunk() {
    const auto size = static_cast<std::size_t>(ChunkSize);
    // One buffer for the whole run rather than a fresh one per chunk: each read fills the
    // ChunkSize bytes in use completely, so nothing of an earlier chunk can get into a part.
    if (!buffer_) {
        buffer_ = std::make_unique_for_overwrite<lowio::ChunkBuffer>();
    }
    guarded(Handler::OnSourceError, [&] {
        // A source that shrank during the run must not leave zeros in a part.
        if (runtime_.files().get(sourceFile_, SourcePos, buffer_->bytes, size) != size) {
            rt::raise(rt::kInputPastEnd);
        }
    });
    return Step::WriteChunk;
}

CopyRun::Step CopyRun::writeChunk() {
    guarded(Handler::OnWriteError,
            [&] { runtime_.files().put(partFile_, buffer_->bytes, static_cast<std::size_t>(ChunkSize)); });
    endOfGroup();
    PartHasData = true;
    NewDiskNeeded = false;
    partLength_ += ChunkSize;
    const double share = static_cast<double>(SourcePos - 1) / static_cast<double>(sourceLength_) * 100.0;
    controls_.setPbarValue(static_cast<float>(share));
    return Step::MainLoop;
}

// Finish
CopyRun::Step CopyRun::finish() {
    if (PartOpen) {
        closePart();
        endOfGroup();
    }
    // "Finished" only once the medium holds every part.
    if (CopyDone) {
        flushClosedParts();
    }
    return Step::CloseSource;
}

CopyRun::Step CopyRun::closeSource() {
    // "Finished" means the parts hold the source as it was opened, unchanged to the last byte.
    if (CopyDone) {
        checkSourceUnchanged();
    }
    guarded(Handler::OnSourceError, [&] { runtime_.files().close(sourceFile_); });
    endOfGroup();
    return Step::Report;
}

CopyRun::Step CopyRun::report() {
    if (CopyDone) {
        message(copy_messages::kCopyFinished, rt::kInfoOk);
    }
    controls_.setPbarValue(0.0F);
    return Step::Done;
}

void CopyRun::rememberWritten(const std::string& path) {
    written_.push_back({path, runtime_.identity(path)});
}

bool CopyRun::isWrittenThisRun(const rt::FileIdentity& identity) const {
    return std::any_of(written_.begin(), written_.end(),
                       [&](const Anchor& written) { return written.identity == identity; });
}

bool CopyRun::isTheSource(const rt::FileIdentity& identity) const {
    // The same file whatever happened to it since: its length and time may change meanwhile.
    return std::any_of(sourceIdentities_.begin(), sourceIdentities_.end(), [&](const rt::FileIdentity& source) {
        return source.device == identity.device && source.inode == identity.inode;
    });
}

std::vector<std::string> CopyRun::filesTheWipeKeeps() const {
    // Every reassembler the program keeps, whichever this run puts on the disk: a wipe of the
    // program's own folders must not cost the next run its QUIL.SYS.
    std::vector<std::string> keep = reassembler_.installed;
    keep.push_back(source_.SourcePath);
    keep.push_back(runtime_.facts().programFile);
    return keep;
}

// Each path as its own entry and as what it points to; a path that cannot be found is left out,
// since nothing can delete it either.
std::vector<rt::FileIdentity> CopyRun::identitiesOf(const std::vector<std::string>& paths) {
    std::vector<rt::FileIdentity> identities;
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

std::optional<rt::FileIdentity> CopyRun::identityIfThere(const std::string& path) {
    try {
        return runtime_.identity(path);
    } catch (const rt::RuntimeError& error) {
        if (error.number() == rt::kFileNotFound || error.number() == rt::kPathNotFound) {
            return std::nullopt;
        }
    }
    return carried([&] { return runtime_.identity(path); });
}

int CopyRun::message(const std::string& prompt, int style) {
    return runtime_.msgBox(prompt, style, copy_messages::kTitle);
}

} // namespace kopierer
