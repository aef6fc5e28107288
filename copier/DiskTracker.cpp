#include "DiskTracker.h"

#include "ClosedOnExit.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kopierer {

DiskTracker::DiskTracker(rt::Runtime& runtime) : runtime_(runtime) {}

void DiskTracker::diskStarts(const Began& began) {
    began_ = began;
    began_.writtenBefore = written_.size();
    inUse_ = true;
    anchor_.reset();
}

void DiskTracker::forgetTheDisk() {
    written_.resize(began_.writtenBefore);
    unflushed_.clear();
}

void DiskTracker::finishedOnThisDisk(const std::string& path) {
    written_.push_back({path, runtime_.identity(path)});
    anchor_ = written_.back();
}

void DiskTracker::seeThePart(const std::string& path) {
    try {
        anchor_ = Anchor{path, runtime_.identity(path)};
    } catch (const rt::RuntimeError&) {
        anchor_.reset();
    }
}

bool DiskTracker::isWrittenThisRun(const core::FileIdentity& identity) const {
    return std::any_of(written_.begin(), written_.end(),
                       [&](const Anchor& written) { return identity.unchangedSince(written.identity); });
}

bool DiskTracker::sameDiskStillIn(bool partOpen, const std::string& partName, int partFile) {
    try {
        if (partOpen) {
            return runtime_.identity(partName).unchangedSince(runtime_.files().identity(partFile));
        }
        return anchor_ && runtime_.identity(anchor_->path).unchangedSince(anchor_->identity);
    } catch (const rt::RuntimeError&) {
        return false; // nothing there, or no disk at all
    }
}

bool DiskTracker::theSetIsStillThere() {
    return std::all_of(written_.begin(), written_.end(), [&](const Anchor& written) {
        try {
            // A file rewritten in place whose size and time were put back still shows in its
            // change time, which nobody can set back.
            return runtime_.identity(written.path).unchangedSince(written.identity);
        } catch (const rt::RuntimeError&) {
            return false;
        }
    });
}

void DiskTracker::closedWithoutFlush(ClosedPart part) {
    unflushed_.push_back(std::move(part));
}

std::optional<DiskTracker::FlushFailure> DiskTracker::flushClosedParts(const std::string& folder) {
    if (!unflushed_.empty()) {
        runtime_.settle(folder);
    }
    for (; !unflushed_.empty(); unflushed_.erase(unflushed_.begin())) {
        try {
            runtime_.flushToMedium(unflushed_.front().name);
        } catch (const rt::RuntimeError& error) {
            return FlushFailure{error, unflushed_.front()};
        }
    }
    return std::nullopt;
}

void DiskTracker::forgetUnflushed() {
    written_.resize(written_.size() - unflushed_.size());
    unflushed_.clear();
}

void DiskTracker::readBack(const std::string& path, int64_t length, const Expected& expected,
                           lowio::ChunkBuffer& expectedInto) {
    readBackAs(path, length, [&](int64_t offset, const char* bytes, std::size_t size) {
        expected(offset, size, expectedInto.bytes);
        return std::memcmp(bytes, expectedInto.bytes, size) == 0;
    });
}

void DiskTracker::readBack(const std::string& path, const std::string& bytes, lowio::ChunkBuffer& expectedInto) {
    const auto length = static_cast<int64_t>(bytes.size());
    readBack(
        path, length,
        [&](int64_t offset, std::size_t size, char* into) { std::memcpy(into, bytes.data() + offset, size); },
        expectedInto);
}

void DiskTracker::readBack(const std::string& path, int64_t length, const core::recovery::Digest& written) {
    core::recovery::Md5 read;
    readBackAs(path, length, [&](int64_t, const char* bytes, std::size_t size) {
        read.update(bytes, size);
        return true;
    });
    if (read.finish() != written) {
        rt::raise(rt::kDeviceIo);
    }
}

void DiskTracker::readBackAs(const std::string& path, int64_t length, const Matches& matches) {
    if (!readBackBuffer_) {
        readBackBuffer_ = std::make_unique_for_overwrite<lowio::ChunkBuffer>();
    }
    rt::Files& files = runtime_.files();
    const int number = files.freeFile();
    files.open(number, path, rt::OpenMode::ReadBack);
    const ClosedOnExit closed(files, number);
    if (!readsBackAs(number, length, matches)) {
        rt::raise(rt::kDeviceIo);
    }
}

// Reads whole pieces at piece offsets, as a read past the system's cache must (whole sectors),
// and yields between them, so that Abbrechen and Info work while a diskette is read: a piece is
// a second's reading on a floppy.
bool DiskTracker::readsBackAs(int file, int64_t length, const Matches& matches) {
    constexpr int64_t kPiece = 32768;
    rt::Files& files = runtime_.files();
    for (int64_t offset = 0;; offset += kPiece) {
        runtime_.doEvents();
        const int64_t wanted = std::min(kPiece, length - offset);
        const std::size_t got = files.get(file, offset + 1, readBackBuffer_->bytes, kPiece);
        if (got != static_cast<std::size_t>(wanted)) {
            return false; // shorter or longer than written
        }
        if (wanted == 0) {
            return true;
        }
        if (!matches(offset, readBackBuffer_->bytes, static_cast<std::size_t>(wanted))) {
            return false;
        }
        if (wanted < kPiece) {
            return true;
        }
    }
}

std::string DiskTracker::contentsOf(const std::string& path) {
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

} // namespace kopierer
