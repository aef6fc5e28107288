// Getting the recovery stream. It is read where it lies on a fixed disk, or when its medium
// stays in the drive to the end; a diskette or stick that is swapped for the next one has its
// pieces copied off while it is in the drive.
#include "RecoverySource.h"

#include "Failure.h"
#include "OutputFolder.h"
#include "PartNames.h"

#include <memory>

namespace quil {

namespace {

using core::recovery::Index;

std::unique_ptr<lowio::ChunkBuffer> chunkBuffer() {
    return std::make_unique_for_overwrite<lowio::ChunkBuffer>();
}

// Whether the index describes the file QUIL.EXE restores: parts that follow each other without
// a gap and add up to its length.
bool describes(const Index& index, std::int64_t length) {
    std::int64_t next = 0;
    for (const core::recovery::PartEntry& part : index.parts) {
        if (part.offset != next || part.length < 0) {
            return false;
        }
        next += part.length;
    }
    return next == length && index.fileLength == length;
}

} // namespace

RecoverySource::RecoverySource(std::int64_t fileLength, std::string tie, std::string outputFolder,
                               std::string workingFolder, Terminal& terminal)
    : fileLength_(fileLength), tie_(std::move(tie)), outputFolder_(std::move(outputFolder)),
      workingFolder_(std::move(workingFolder)), terminal_(terminal) {}

RecoverySource::~RecoverySource() = default;

void RecoverySource::read(std::int64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    const lowio::SystemError err = lowio::readAt(stream_.get(), offset, buffer, size, done);
    if (err != 0 || done != size) {
        fail(kDamaged, concat({"Die Ersatzdaten lassen sich nicht lesen (",
                               err != 0 ? describeError(err) : std::string("sie enden zu früh"), ")."}));
    }
}

core::recovery::ReadAt RecoverySource::reader() {
    return [this](std::int64_t offset, char* buffer, std::size_t size) { read(offset, buffer, size); };
}

RecoverySource::Reading RecoverySource::takeIndex() {
    core::recovery::IndexReading reading = core::recovery::readIndex(reader(), length_);
    problem_ = reading.problem;
    if (reading.foreign) {
        return Reading::Foreign; // asked for again from the first piece
    }
    // Recovery data of another file (a folder used twice, the wrong Ersatzdiskette) would put
    // the parts in wrong places.
    if (reading.index && !describes(*reading.index, fileLength_)) {
        problem_ = "Die Ersatzdaten gehören nicht zu diesem Satz: sie beschreiben eine andere Datei.";
        return Reading::Foreign;
    }
    // Ersatzdisketten of another run of the same file, perhaps of another version of it, would
    // make that version's bytes out of this set's.
    // A marker without a tie belongs to a set written before there were ties, whose recovery
    // data has none either.
    if (reading.index && reading.index->tie != tie_) {
        problem_ = "Die Ersatzdaten gehören zu einer anderen Sicherung: ihre Kennung ist nicht die von QUIL.EXE.";
        return Reading::Foreign;
    }
    index_ = std::move(reading.index);
    return index_ ? Reading::Found : reading.final ? Reading::Damaged : Reading::Incomplete;
}

void RecoverySource::forget() {
    stream_.reset();
    length_ = 0;
}

RecoverySource::Reading RecoverySource::readInPlace(const std::string& path) {
    lowio::SystemError err = 0;
    stream_ = host::openForReading(path, err);
    // A piece that holds no whole index is only the start of the stream: its other pieces lie
    // beside it (a copy of the diskettes) or on the next Ersatzdiskette.
    Reading reading = Reading::Incomplete;
    try {
        reading = stream_.valid() && lowio::lengthOf(stream_.get(), length_) == 0 ? takeIndex() : Reading::Incomplete;
    } catch (const Failure& failure) {
        // Another copy may read: the user is asked for one where the recovery data is needed.
        problem_ = failure.what();
        reading = Reading::Unreadable;
    }
    if (reading != Reading::Found) {
        forget();
    }
    return reading;
}

std::string RecoverySource::appendPiece(const std::string& path, const std::string& name) {
    lowio::SystemError err = 0;
    if (!stream_.valid()) {
        stream_ = host::createScratchFile(outputFolder_, err);
        if (!stream_.valid()) {
            fail(kDamaged,
                 concat({"Im Zielordner ", printable(outputFolder_),
                         " kann keine Datei für die Ersatzdaten angelegt werden (", describeError(err), ")."}));
        }
    }
    const lowio::Handle piece = host::openForReading(path, err);
    // A read at an offset moves a Windows handle's position: the piece goes after the last one.
    const std::int64_t before = length_;
    lowio::SystemError writeError = piece.valid() ? lowio::seekTo(stream_.get(), length_) : 0;
    const std::unique_ptr<lowio::ChunkBuffer> buffer = chunkBuffer();
    for (std::size_t got = 1; err == 0 && writeError == 0 && piece.valid() && got > 0;) {
        err = lowio::readSome(piece.get(), buffer->bytes, sizeof buffer->bytes, got);
        std::size_t written = 0;
        if (err == 0 && got > 0 && (writeError = lowio::writeAll(stream_.get(), buffer->bytes, got, written)) == 0) {
            length_ += static_cast<std::int64_t>(got);
        }
    }
    if (writeError != 0) {
        fail(kDamaged,
             concat({name, " lässt sich nicht in den Zielordner kopieren (", describeError(writeError), ")."}));
    }
    if (!piece.valid() || err != 0) {
        // What was copied of it is written over when it is read again.
        length_ = before;
        return concat({name, " ist nicht lesbar (", describeError(err), ")."});
    }
    return {};
}

void RecoverySource::lookBeside(const std::string& folder) {
    if (!index_ && !host::isExchangeableMedium(folder)) {
        if (const std::optional<std::string> path = findPart(folder, core::recovery::pieceName(1))) {
            readInPlace(*path);
        }
    }
}

const Index& RecoverySource::index(const std::string& folder, const std::string& why, bool staysIn) {
    std::string where = folder;
    int piece = 1;
    if (!index_) {
        terminal_.say("");
        terminal_.say(why);
    }
    while (!index_) {
        const std::string name = core::recovery::pieceName(piece);
        // Why this piece is asked for once more; empty when the next one is asked for.
        std::string again;
        if (const std::optional<std::string> path = findPart(where, name)) {
            Reading reading = Reading::Incomplete;
            if (piece == 1 && (staysIn || !host::isExchangeableMedium(where))) {
                reading = readInPlace(*path);
            }
            if (reading == Reading::Incomplete) {
                again = appendPiece(*path, name);
                reading = again.empty() ? takeIndex() : Reading::Incomplete;
            }
            if (reading == Reading::Unreadable) {
                again = problem_;
            }
            if (reading == Reading::Damaged) {
                fail(kDamaged, problem_);
            }
            if (reading == Reading::Foreign) {
                forget();
                piece = 1;
                again = problem_;
            }
            if (again.empty()) {
                ++piece; // the next piece may lie in the same folder
                continue;
            }
        }
        const std::string wanted = core::recovery::pieceName(piece);
        // Where a piece was read, the stream goes on on the next Ersatzdiskette.
        terminal_.say(
            !again.empty()
                ? again
                : concat({wanted, " fehlt in ", printable(where),
                          piece > 1 ? "; die Ersatzdaten gehen auf der nächsten Ersatzdiskette weiter." : "."}));
        const DiskAnswer answer = terminal_.askForDisk(wanted, LostOffer::None, piece);
        if (answer.kind == DiskAnswer::Kind::Abort) {
            // What the pieces read so far lack, in case there is no further one: they are damaged.
            fail(kStopped, concat({"Abgebrochen: ohne ", wanted, " fehlen die Ersatzdaten.",
                                   problem_.empty() ? "" : " ", problem_}));
        }
        if (answer.kind == DiskAnswer::Kind::Folder) {
            where = typedFolder(answer.folder, workingFolder_, terminal_).value_or(where);
        }
    }
    return *index_;
}

} // namespace quil
