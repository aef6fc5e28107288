// The states of the split-and-copy run and the order in which they follow each other.
#include "CopyRun.h"

#include "CopyControls.h"
#include "CopyMessages.h"
#include "DiskSetWriters.h"
#include "PartSizing.h"
#include "app/common.h"
#include "runtime/Checked.h"
#include "runtime/Runtime.h"

#include <algorithm>

namespace kopierer {

namespace {

constexpr int kMostPartsInAFolder = 99;

bool isOneOf(const rt::FileIdentity& identity, const std::vector<rt::FileIdentity>& identities) {
    return std::find(identities.begin(), identities.end(), identity) != identities.end();
}

} // namespace

CopyRun::CopyRun(rt::Runtime& runtime, CopyControls& controls, const SourceSelection& source)
    : runtime_(runtime), controls_(controls), source_(source) {}

template <class Op> auto CopyRun::attempt(Op&& op) -> decltype(op()) {
    for (;;) {
        try {
            return op();
        } catch (const rt::RuntimeError& error) {
            if (inForce_ == Handler::None) {
                throw;
            }
            // A handler's own operations are not covered by it: their errors leave from here.
            recover(error);
        }
    }
}

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
    TargetFolder = common::WithTrailingBackslash(TargetFolder);
    ReassemblerPath = TargetFolder + "QUIL" + ".EXE";
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
    under(Handler::OnSourceError, [&] {
        const int number = runtime_.files().freeFile();
        runtime_.files().open(number, source_.SourcePath, rt::OpenMode::BinaryRead);
        sourceFile_ = number;
    });
    unguarded();
    const int32_t length = attempt([&] { return runtime_.files().lof(sourceFile_); });
    if (sourceNeedsTooManyParts(length)) {
        message(copy_messages::kTooManyParts, rt::kCriticalOk);
        return Step::CloseSource;
    }
    return Step::MainLoop;
}

// Part names repeat after 99; in one folder the hundredth part would replace the first.
bool CopyRun::sourceNeedsTooManyParts(int32_t sourceLength) const {
    if (controls_.optValue(0)) {
        return false;
    }
    const int64_t parts = (int64_t{sourceLength} + MaxPartSize - 1) / MaxPartSize;
    return parts > kMostPartsInAFolder;
}

CopyRun::Step CopyRun::mainLoop() {
    SourcePos = attempt([&] { return runtime_.files().seek(sourceFile_); });
    sourceLength_ = attempt([&] { return runtime_.files().lof(sourceFile_); });
    Remaining = attempt([&] { return rt::addInt32(rt::subInt32(sourceLength_, SourcePos), 1); });
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
    if (controls_.chkValue(2) != 0) {
        while (!wipeTarget()) {
        }
        unguarded();
    }
    return PartCounter != 0 ? Step::NumberPart : Step::FirstDiskFiles;
}

// Empties the target folder, dot files excepted. Returns false when the disk holds files of
// this run and the user has put in another one: the new disk is then searched from the start.
bool CopyRun::wipeTarget() {
    inForce_ = Handler::OnWipeError;
    // Neither the file being split nor the reassembler it is shipped with may go, should the
    // user pick their folder as the target.
    const std::vector<rt::FileIdentity> keep = filesTheWipeKeeps();
    std::string name = attempt([&] { return runtime_.dir().first(TargetFolder + "*.*", rt::kSearchAll); });
    while (!name.empty()) {
        if (name.front() != '.') {
            const std::string path = TargetFolder + name;
            const rt::FileIdentity identity = attempt([&] { return runtime_.identity(path); });
            if (isOneOf(identity, written_)) {
                askForAnotherDisk();
                return false;
            }
            if (!isOneOf(identity, keep)) {
                attempt([&] { runtime_.setAttr(path, rt::kAttrNormal); });
                attempt([&] { runtime_.kill(path); });
                attempt([&] { runtime_.doEvents(); });
            }
        }
        name = attempt([&] { return runtime_.dir().next(); });
    }
    return true;
}

std::vector<rt::FileIdentity> CopyRun::filesTheWipeKeeps() {
    std::vector<rt::FileIdentity> keep;
    for (const std::string& path : {source_.SourcePath, common::AppFolder(runtime_) + "QUIL.SYS"}) {
        try {
            keep.push_back(runtime_.identity(path));
        } catch (const rt::RuntimeError&) {
            // A file that cannot be found cannot be deleted by the wipe either.
        }
    }
    return keep;
}

CopyRun::Step CopyRun::firstDiskFiles() {
    inForce_ = Handler::OnTargetError;
    const Attempt attemptOne = [this](const std::function<void()>& op) { attempt(op); };
    copyReassembler(runtime_, ReassemblerPath, attemptOne);
    writeTrailer(runtime_, ReassemblerPath, source_, attemptOne);
    attempt([&] { rememberWritten(ReassemblerPath); });
    if (controls_.chkValue(1) != 0) {
        writeAutorun(runtime_, TargetFolder, attemptOne);
        attempt([&] { rememberWritten(TargetFolder + "autorun.inf"); });
    }
    unguarded();
    return Step::NumberPart;
}

CopyRun::Step CopyRun::numberPart() {
    if (PartHasData || PartCounter == 0) {
        PartCounter = attempt([&] { return rt::addInt16(PartCounter, 1); });
        PartHasData = false;
    }
    PartName = attempt([&] { return partFileName(TargetFolder, PartCounter); });
    return Step::RemoveOldPart;
}

// Every file that answers to the part's name goes, hidden ones included (a leftover would
// keep its bytes behind the new part's end), and under the name the search found: the search
// ignores letter case, a case-sensitive file system does not.
CopyRun::Step CopyRun::removeOldPart() {
    bool deleted = false;
    std::string name = attempt([&] { return runtime_.dir().first(PartName, rt::kSearchAll); });
    while (!name.empty()) {
        const std::string path = TargetFolder + name;
        if (attempt([&] { return writtenThisRun(path); })) {
            askForAnotherDisk();
            return Step::RemoveOldPart;
        }
        inForce_ = Handler::OnTargetError;
        attempt([&] { runtime_.setAttr(path, rt::kAttrNormal); });
        attempt([&] { runtime_.kill(path); });
        deleted = true;
        name = attempt([&] { return runtime_.dir().next(); });
    }
    if (deleted) {
        unguarded();
    }
    return Step::OpenPart;
}

CopyRun::Step CopyRun::openPart() {
    under(Handler::OnTargetError, [&] {
        const int number = runtime_.files().freeFile();
        runtime_.files().open(number, PartName, rt::OpenMode::BinaryWrite);
        partFile_ = number;
    });
    PartOpen = true;
    unguarded();
    return Step::SizeChunk;
}

CopyRun::Step CopyRun::sizeChunk() {
    ChunkSize = std::min(Remaining, kMaxChunkSize);
    PartRoom = attempt([&] { return rt::subInt32(MaxPartSize, runtime_.files().lof(partFile_)); });
    if (PartRoom <= 0) {
        under(Handler::OnTargetError, [&] { runtime_.files().close(partFile_); });
        PartOpen = false;
        attempt([&] { rememberWritten(PartName); });
        unguarded();
        return Step::PartStart;
    }
    ChunkSize = std::min(ChunkSize, PartRoom);
    return Step::ChunkYield;
}

// ChunkYield
CopyRun::Step CopyRun::chunkYield() {
    attempt([&] { runtime_.doEvents(); });
    return Step::ReadChunk;
}

CopyRun::Step CopyRun::readChunk() {
    const auto size = static_cast<std::size_t>(ChunkSize);
    // One buffer for the whole run rather than a fresh one per chunk: each read fills the
    // ChunkSize bytes in use completely, so nothing of an earlier chunk can get into a part.
    if (!buffer_) {
        buffer_ = std::make_unique_for_overwrite<ChunkBuffer>();
    }
    under(Handler::OnSourceError, [&] {
        // A source that shrank during the run must not leave zeros in a part.
        if (runtime_.files().get(sourceFile_, SourcePos, buffer_->bytes, size) != size) {
            rt::raise(rt::kInputPastEnd);
        }
    });
    return Step::WriteChunk;
}

CopyRun::Step CopyRun::writeChunk() {
    under(Handler::OnWriteError,
          [&] { runtime_.files().put(partFile_, buffer_->bytes, static_cast<std::size_t>(ChunkSize)); });
    unguarded();
    PartHasData = true;
    NewDiskNeeded = false;
    const double share = static_cast<double>(SourcePos - 1) / static_cast<double>(sourceLength_) * 100.0;
    controls_.setPbarValue(static_cast<float>(share));
    return Step::MainLoop;
}

// Finish
CopyRun::Step CopyRun::finish() {
    if (PartOpen) {
        under(Handler::OnTargetError, [&] { runtime_.files().close(partFile_); });
        PartOpen = false;
        unguarded();
    }
    return Step::CloseSource;
}

CopyRun::Step CopyRun::closeSource() {
    under(Handler::OnSourceError, [&] { runtime_.files().close(sourceFile_); });
    unguarded();
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
    written_.push_back(runtime_.identity(path));
}

bool CopyRun::writtenThisRun(const std::string& path) {
    return isOneOf(runtime_.identity(path), written_);
}

int CopyRun::message(const std::string& prompt, int style) {
    return runtime_.msgBox(prompt, style, copy_messages::kTitle);
}

} // namespace kopierer
