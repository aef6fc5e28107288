#include "RecoveryDataWriter.h"

#include "CopyControls.h"
#include "Recovery.h"
#include "SourceFile.h"
#include "core/SourceSelection.h"
#include "runtime/Runtime.h"
#include "runtime/Worker.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <utility>

namespace kopierer {

namespace {

// How much of the source the stream may read between two turns of the window: Abbrechen and
// Info work during the pass, and the progress bar shows how far it is.
constexpr int64_t kYieldStep = 1024 * 1024;

std::string fileNameOf(const std::string& path) {
    const std::size_t separator = path.find_last_of('\\');
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

} // namespace

RecoveryDataWriter::RecoveryDataWriter(rt::Runtime& runtime, Recovery& recovery, const SourceFile& source,
                                       CopyControls& controls)
    : runtime_(runtime), recovery_(recovery), source_(source), controls_(controls),
      tie_(core::recovery::makeTie(std::to_string(std::chrono::system_clock::now().time_since_epoch().count()) + " " +
                                   std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {}

RecoveryDataWriter::~RecoveryDataWriter() = default;

void RecoveryDataWriter::sourceRead(int64_t position, const char* bytes, std::size_t size) {
    const int64_t first = position - 1;
    const int64_t end = first + static_cast<int64_t>(size);
    // The run never reads past a byte it has not read before; a gap would be a fault of the run.
    if (first > hashedTo_) {
        throw std::logic_error("the copy run skipped source bytes");
    }
    if (end > hashedTo_) {
        sourceSum_ = core::recovery::placedSum(sourceSum_, static_cast<std::uint64_t>(hashedTo_),
                                               bytes + (hashedTo_ - first), static_cast<std::size_t>(end - hashedTo_));
        hashedTo_ = end;
    }
}

void RecoveryDataWriter::partWritten(const std::string& path, int64_t firstPos, int64_t length) {
    std::erase_if(parts_, [&](const WrittenPart& part) { return part.firstPos >= firstPos; });
    parts_.push_back({fileNameOf(path), firstPos, length});
}

void RecoveryDataWriter::prepare(const core::SourceSelection& source, int64_t fileLength, bool onSpareDisks) {
    if (hashedTo_ != fileLength) {
        throw std::logic_error("the copy run finished before it had read the whole source");
    }
    std::vector<core::recovery::Part> parts;
    for (const WrittenPart& part : parts_) {
        parts.push_back({part.name, part.length});
    }
    // The file's name as the trailer gives it: the name as stored, else the name as given.
    std::string fileName;
    try {
        fileName = runtime_.dir().nameOf(source.SourcePath, rt::kSearchNormal);
    } catch (const rt::RuntimeError&) {
    }
    stream_ = std::make_unique<core::recovery::Stream>(
        std::move(parts), fileName.empty() ? source.SourceName : fileName, fileLength, tie_);
    position_ = 1;
    onSpareDisks_ = onSpareDisks;
    spareDisk_ = 1;
    preparing_ = true;
    preparedBytes_ = 0;
    yieldedAt_ = 0;
    const std::unique_ptr<core::Worker> worker = rt::makeWorker();
    stream_->prepare([this](int64_t offset, char* into, std::size_t size) { readSource(offset, into, size); },
                     worker.get());
    preparing_ = false;
}

bool RecoveryDataWriter::sourceChangedSinceCopied() const {
    return stream_->sourceSum() != sourceSum_ || stream_->sourceChangedSincePrepare();
}

int64_t RecoveryDataWriter::length() const {
    return stream_->length();
}

void RecoveryDataWriter::read(int64_t position, char* into, std::size_t size) {
    stream_->read(position - 1, into, size);
}

void RecoveryDataWriter::wrote(int64_t offsetInPiece, const char* bytes, std::size_t size) {
    if (offsetInPiece == 0) {
        piece_ = core::recovery::Md5();
    }
    piece_.update(bytes, size);
}

core::recovery::Digest RecoveryDataWriter::pieceWritten() const {
    core::recovery::Md5 piece = piece_;
    return piece.finish();
}

std::string RecoveryDataWriter::pieceName(const std::string& folder, int16_t counter) {
    return folder + core::recovery::pieceName(counter);
}

void RecoveryDataWriter::readSource(int64_t offset, char* into, std::size_t size) {
    rt::Files& files = runtime_.files();
    recovery_.attempt(recovery_.named(Recovery::Handler::OnSourceError), [&] {
        // A source that shrank since its parts were written must not give the parity zeros.
        if (files.get(source_.number(), offset + 1, into, size) != size) {
            rt::raise(rt::kInputPastEnd);
        }
    });
    if (!preparing_) {
        return;
    }
    preparedBytes_ += static_cast<int64_t>(size);
    if (preparedBytes_ - yieldedAt_ >= kYieldStep) {
        yieldedAt_ = preparedBytes_;
        const double share = static_cast<double>(preparedBytes_) / static_cast<double>(source_.length()) * 100.0;
        controls_.setPbarValue(static_cast<float>(std::min(share, 100.0)));
        recovery_.attempt(recovery_.inForce(), [&] { runtime_.doEvents(); });
    }
}

} // namespace kopierer
