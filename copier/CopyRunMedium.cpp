// Where the copy run meets the medium. A part counts as written only when the medium holds it:
// a close that fails, or a part that reads back differently, is written anew from its first
// byte, read again from the source. And since the run cannot see a disk being swapped at one of
// its dialogs, it looks at the disk after each one: a disk that does not hold what the run wrote
// on it is a new disk and gets everything a new disk gets.
#include "CopyRun.h"

#include "CopyMessages.h"
#include "PartSizing.h"
#include "runtime/Checked.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace kopierer {

namespace {

// A file number that is closed when it goes, whatever the close says: for files the run only
// reads, or is about to write anew.
class ClosedOnExit {
public:
    ClosedOnExit(rt::Files& files, int number) : files_(files), number_(number) {}
    ~ClosedOnExit() {
        try {
            files_.close(number_, rt::Flush::Later);
        } catch (const rt::RuntimeError&) {
        }
    }
    ClosedOnExit(const ClosedOnExit&) = delete;
    ClosedOnExit& operator=(const ClosedOnExit&) = delete;

private:
    rt::Files& files_;
    int number_;
};

// The same file as seen before, by what a write or a swap of the disk would change.
bool sameFile(const rt::FileIdentity& a, const rt::FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modifiedNs == b.modifiedNs;
}

} // namespace

void CopyRun::closePart() {
    PartOpen = false;
    std::optional<rt::RuntimeError> failure;
    try {
        // A fixed drive keeps its disk: the parts go to the medium together before the end.
        runtime_.files().close(partFile_, removable_ ? rt::Flush::Now : rt::Flush::Later);
    } catch (const rt::RuntimeError& error) {
        failure = error;
    }
    // The part as it lies on the disk now, before any dialog: a system may set its time only
    // when it is closed.
    try {
        anchor_ = Anchor{PartName, runtime_.identity(PartName)};
    } catch (const rt::RuntimeError&) {
        anchor_.reset();
    }
    if (failure) {
        writeAnewAfter(*failure);
    }
    if (removable_) {
        verifyPart();
    }
    attemptUnder(Handler::OnTargetError, [&] { finishedOnThisDisk(PartName); });
    if (!removable_) {
        unflushed_.push_back({PartName, PartCounter, partFirstPos_});
    }
}

void CopyRun::verifyPart() {
    rt::Files& files = runtime_.files();
    const int32_t resumeAt = files.seek(sourceFile_);
    try {
        readBack(PartName, partLength_, [&](int32_t offset, std::size_t size, char* into) {
            attemptUnder(Handler::OnSourceError, [&] {
                if (files.get(sourceFile_, partFirstPos_ + offset, into, size) != size) {
                    rt::raise(rt::kInputPastEnd);
                }
            });
        });
    } catch (const rt::RuntimeError& error) {
        writeAnewAfter(error);
    }
    files.seekTo(sourceFile_, resumeAt);
}

void CopyRun::verifyFirstDiskFile(const std::string& path, const std::string& bytes) {
    if (!removable_) {
        return; // a fixed drive keeps its disk, and its end flush reports what the medium says
    }
    const int32_t length = rt::toInt32(static_cast<int64_t>(bytes.size()));
    readBack(path, length,
             [&](int32_t offset, std::size_t size, char* into) { std::memcpy(into, bytes.data() + offset, size); });
}

std::string CopyRun::contentsOf(const std::string& path) {
    rt::Files& files = runtime_.files();
    const int number = files.freeFile();
    files.open(number, path, rt::OpenMode::BinaryRead);
    const ClosedOnExit closed(files, number);
    std::string bytes(static_cast<std::size_t>(files.lof(number)), '\0');
    if (files.get(number, 1, bytes.data(), bytes.size()) != bytes.size()) {
        rt::raise(rt::kInputPastEnd);
    }
    return bytes;
}

void CopyRun::readBack(const std::string& path, int32_t length, const Expected& expected) {
    for (auto* buffer : {&buffer_, &readBackBuffer_}) {
        if (!*buffer) {
            *buffer = std::make_unique_for_overwrite<lowio::ChunkBuffer>();
        }
    }
    rt::Files& files = runtime_.files();
    const int number = files.freeFile();
    files.open(number, path, rt::OpenMode::ReadBack);
    const ClosedOnExit closed(files, number);
    if (!readsBackAs(number, length, expected)) {
        rt::raise(rt::kDeviceIo);
    }
}

// Reads whole pieces at piece offsets, as a read past the system's cache must (whole sectors),
// and yields between them, so that Abbrechen and Info work while a diskette is read: a piece is
// a second's reading on a floppy.
bool CopyRun::readsBackAs(int file, int32_t length, const Expected& expected) {
    constexpr int32_t kPiece = 32768;
    rt::Files& files = runtime_.files();
    for (int32_t offset = 0;; offset += kPiece) {
        runtime_.doEvents();
        const int32_t wanted = std::min(kPiece, length - offset);
        const std::size_t got = files.get(file, offset + 1, readBackBuffer_->bytes, kPiece);
        if (got != static_cast<std::size_t>(wanted)) {
            return false; // shorter or longer than written
        }
        if (wanted == 0) {
            return true;
        }
        const auto size = static_cast<std::size_t>(wanted);
        expected(offset, size, buffer_->bytes);
        if (std::memcmp(readBackBuffer_->bytes, buffer_->bytes, size) != 0) {
            return false;
        }
        if (wanted < kPiece) {
            return true;
        }
    }
}

void CopyRun::flushClosedParts() {
    if (removable_) {
        return; // each part was flushed and read back as it was closed
    }
    if (!unflushed_.empty()) {
        runtime_.settle(TargetFolder);
    }
    while (!unflushed_.empty()) {
        const ClosedPart part = unflushed_.front();
        try {
            runtime_.flushToMedium(part.name);
        } catch (const rt::RuntimeError& error) {
            OnTargetError(error);
            // A folder that no longer holds what the run wrote (deleted and made anew by a
            // clean-up or sync tool, say) gets the whole set again, the reassembler first.
            if (!theSetIsStillThere()) {
                writeTheDiskAnew();
            }
            // Otherwise the part is written anew, and so is every part after it: the run writes
            // parts in order, and each of them will be flushed again.
            const std::size_t partsBefore = written_.size() - unflushed_.size();
            written_.resize(partsBefore);
            unflushed_.clear();
            PartCounter = part.counter;
            PartHasData = false;
            writeAnewFrom(part.firstPos);
        }
        unflushed_.erase(unflushed_.begin());
    }
    // Every part is on the medium now; files of the set that went meanwhile are written again.
    if (!theSetIsStillThere()) {
        OnTargetError(rt::RuntimeError(rt::kFileNotFound));
        writeTheDiskAnew();
    }
}

bool CopyRun::theSetIsStillThere() {
    return std::all_of(written_.begin(), written_.end(), [&](const Anchor& written) {
        try {
            return sameFile(runtime_.identity(written.path), written.identity);
        } catch (const rt::RuntimeError&) {
            return false;
        }
    });
}

void CopyRun::writeAnewAfter(const rt::RuntimeError& error) {
    OnTargetError(error); // OK or giving up; a swap of the disk is looked at here, not there
    if (removable_ && !sameDiskStillIn()) {
        writeTheDiskAnew();
    }
    dropPart();
    PartHasData = false; // the same number again
    writeAnewFrom(partFirstPos_);
}

void CopyRun::checkTheDiskAfterADialog() {
    if (removable_ && diskInUse_ && !sameDiskStillIn()) {
        writeTheDiskAnew();
    }
}

bool CopyRun::sameDiskStillIn() {
    try {
        if (PartOpen) {
            return sameFile(runtime_.identity(PartName), runtime_.files().identity(partFile_));
        }
        return anchor_ && sameFile(runtime_.identity(anchor_->path), anchor_->identity);
    } catch (const rt::RuntimeError&) {
        return false; // nothing there, or no disk at all
    }
}

// Everything since the disk began is written again, onto whatever disk is in the drive now;
// the files left on the disk that was taken out are no longer this run's.
void CopyRun::writeTheDiskAnew() {
    dropPart();
    PartCounter = diskBegan_.partCounter;
    PartHasData = diskBegan_.partHasData;
    written_.resize(diskBegan_.writtenBefore);
    unflushed_.clear();
    NewDiskNeeded = true;
    writeAnewFrom(diskBegan_.sourcePos);
}

void CopyRun::writeAnewFrom(int32_t sourcePos) {
    CopyDone = false;
    runtime_.files().seekTo(sourceFile_, sourcePos);
    throw ContinueAt{Step::MainLoop};
}

void CopyRun::dropPart() {
    if (PartOpen) {
        PartOpen = false;
        const ClosedOnExit closed(runtime_.files(), partFile_);
    }
}

void CopyRun::finishedOnThisDisk(const std::string& path) {
    rememberWritten(path);
    anchor_ = written_.back();
}

} // namespace kopierer
