// Getting the recovery stream and checking the joined file against it. The stream is read where
// it lies on a fixed disk, or when its medium stays in the drive to the end; a diskette or stick
// that is swapped for the next one has its pieces copied off while it is in the drive.
#include "Recovery.h"

#include "Failure.h"
#include "OutputFile.h"
#include "OutputFolder.h"
#include "PartNames.h"

#include <algorithm>
#include <memory>

namespace quil {

namespace {

using core::recovery::Digest;
using core::recovery::Index;

std::unique_ptr<lowio::ChunkBuffer> chunkBuffer() {
    return std::make_unique_for_overwrite<lowio::ChunkBuffer>();
}

std::size_t stepOf(std::int64_t left) {
    return static_cast<std::size_t>(left < static_cast<std::int64_t>(lowio::kChunkBufferSize)
                                        ? left
                                        : static_cast<std::int64_t>(lowio::kChunkBufferSize));
}

// Feeds the output's bytes [from, to) into md5.
void hashOutput(OutputFile& output, std::int64_t from, std::int64_t to, core::recovery::Md5& md5) {
    const std::unique_ptr<lowio::ChunkBuffer> buffer = chunkBuffer();
    for (std::int64_t at = from; at < to;) {
        const std::size_t step = stepOf(to - at);
        output.readAt(at, buffer->bytes, step);
        md5.update(buffer->bytes, step);
        at += static_cast<std::int64_t>(step);
    }
}

// Moves length bytes of the output from one offset to another, which may overlap it: towards the
// start from the front, towards the end from the back, so that no byte is overwritten unread.
void moveBytes(OutputFile& output, std::int64_t from, std::int64_t to, std::int64_t length) {
    const std::unique_ptr<lowio::ChunkBuffer> buffer = chunkBuffer();
    for (std::int64_t done = 0; done < length;) {
        const std::size_t step = stepOf(length - done);
        const std::int64_t offset = to < from ? done : length - done - static_cast<std::int64_t>(step);
        output.readAt(from + offset, buffer->bytes, step);
        output.moveTo(to + offset);
        output.write(buffer->bytes, step);
        done += static_cast<std::int64_t>(step);
    }
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

// The rebuild's view of the output: the other parts are read back from it (they matched their
// checksums), the rebuilt part is written into its place. Named types rather than lambdas: a
// lambda's type is named after the long signature of the function around it, in QUIL.SYS.
struct OtherParts {
    const Index& index;
    OutputFile& output;
    void operator()(std::size_t part, std::int64_t offset, char* buffer, std::size_t size) const {
        output.readAt(index.parts[part].offset + offset, buffer, size);
    }
};
struct RebuiltPart {
    const core::recovery::PartEntry& entry;
    OutputFile& output;
    void operator()(std::int64_t offset, const char* data, std::size_t size) const {
        // Never past the part's end: the bytes after it belong to the next part.
        const std::int64_t room = std::max<std::int64_t>(entry.length - offset, 0);
        output.moveTo(entry.offset + offset);
        output.write(data, room < static_cast<std::int64_t>(size) ? static_cast<std::size_t>(room) : size);
    }
};

[[noreturn]] void failKeepingAside(ExitStatus status, const std::string& message, OutputFile& output, const char* tag) {
    fail(status, concat({message, message.back() == '\n' ? "" : " ", "Unter ihrem Namen wurde nichts geschrieben. ",
                         output.keepAside(tag, "Was sich zusammensetzen ließ, liegt unter ")}));
}

} // namespace

RecoveryStream::RecoveryStream(std::int64_t fileLength, std::string outputFolder, std::string workingFolder,
                               Terminal& terminal)
    : fileLength_(fileLength), outputFolder_(std::move(outputFolder)), workingFolder_(std::move(workingFolder)),
      terminal_(terminal) {}

RecoveryStream::~RecoveryStream() = default;

void RecoveryStream::read(std::int64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    const lowio::SystemError err = lowio::readAt(stream_.get(), offset, buffer, size, done);
    if (err != 0 || done != size) {
        fail(kDamaged, concat({"Die Ersatzdaten lassen sich nicht lesen (",
                               err != 0 ? describeError(err) : std::string("sie enden zu früh"), ")."}));
    }
}

core::recovery::ReadAt RecoveryStream::reader() {
    return [this](std::int64_t offset, char* buffer, std::size_t size) { read(offset, buffer, size); };
}

RecoveryStream::Reading RecoveryStream::takeIndex() {
    core::recovery::IndexReading reading = core::recovery::readIndex(reader(), length_);
    problem_ = reading.problem;
    // Recovery data of another file (a folder used twice, the wrong Ersatzdiskette) would put
    // the parts in wrong places.
    if (reading.index && !describes(*reading.index, fileLength_)) {
        problem_ = "Die Ersatzdaten gehören nicht zu diesem Satz: sie beschreiben eine andere Datei.";
        return Reading::Foreign;
    }
    index_ = std::move(reading.index);
    return index_ ? Reading::Found : reading.final ? Reading::Damaged : Reading::Incomplete;
}

void RecoveryStream::forget() {
    stream_.reset();
    length_ = 0;
}

RecoveryStream::Reading RecoveryStream::readInPlace(const std::string& path) {
    lowio::SystemError err = 0;
    stream_ = host::openForReading(path, err);
    // A piece that holds no whole index is only the start of the stream: its other pieces lie
    // beside it (a copy of the diskettes) or on the next Ersatzdiskette.
    const Reading reading =
        stream_.valid() && lowio::lengthOf(stream_.get(), length_) == 0 ? takeIndex() : Reading::Incomplete;
    if (reading != Reading::Found) {
        forget();
    }
    return reading;
}

std::string RecoveryStream::appendPiece(const std::string& path, const std::string& name) {
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

void RecoveryStream::lookBeside(const std::string& folder) {
    if (!index_ && !host::isExchangeableMedium(folder)) {
        if (const std::optional<std::string> path = findPart(folder, core::recovery::pieceName(1))) {
            readInPlace(*path);
        }
    }
}

const Index& RecoveryStream::index(const std::string& folder, const std::string& why, bool staysIn) {
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

bool placeAsRecorded(std::vector<PartRecord>& parts, const Index& index, OutputFile& output) {
    const std::size_t count = parts.size() < index.parts.size() ? parts.size() : index.parts.size();
    auto misplaced = [&](std::size_t k) {
        return parts[k].problem.empty() && parts[k].at != index.parts[k].offset &&
               parts[k].length == index.parts[k].length;
    };
    bool towardsEnd = false;
    for (std::size_t k = 0; k < count; ++k) {
        if (misplaced(k)) {
            towardsEnd = parts[k].at < index.parts[k].offset;
            break;
        }
    }
    bool moved = false;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t k = towardsEnd ? count - 1 - step : step;
        PartRecord& part = parts[k];
        if (misplaced(k)) {
            moveBytes(output, part.at, index.parts[k].offset, part.length);
            part.at = index.parts[k].offset;
            moved = true;
        }
    }
    return moved;
}

namespace {

constexpr const char* kChanged = "hat veränderte Bytes (die Prüfsumme stimmt nicht)";

// The whole file's MD5 once the output is complete: the join's in-order part where it reaches no
// further than from, the rest read back.
bool wholeFileMatches(const InOrder& inOrder, std::int64_t from, const Index& index, OutputFile& output) {
    const bool usable = inOrder.hashed >= 0 && inOrder.hashed <= from;
    core::recovery::Md5 whole = usable ? inOrder.md5 : core::recovery::Md5();
    hashOutput(output, usable ? inOrder.hashed : 0, index.fileLength, whole);
    return whole.finish() == index.wholeFile;
}

// Checks each part not yet found bad against its recorded MD5; a changed one gets its reason.
// Returns how many it found.
std::size_t findChangedParts(const Index& index, std::vector<std::string>& why, OutputFile& output) {
    std::size_t changed = 0;
    for (std::size_t k = 0; k < index.parts.size(); ++k) {
        const core::recovery::PartEntry& entry = index.parts[k];
        core::recovery::Md5 md5;
        if (why[k].empty() &&
            (hashOutput(output, entry.offset, entry.offset + entry.length, md5), md5.finish()) != entry.md5) {
            why[k] = kChanged;
            ++changed;
        }
    }
    return changed;
}

} // namespace

std::string checkAgainstRecoveryData(std::vector<PartRecord> parts, InOrder inOrder, const std::string& folder,
                                     RecoveryStream& recovery, OutputFile& output, Terminal& terminal) {
    const Index* index = recovery.known();
    if (index == nullptr) {
        try {
            index = &recovery.index(folder, "Zur Prüfung der Teile braucht QUIL die Ersatzdaten.", true);
        } catch (const Failure& failure) {
            failKeepingAside(failure.status(), concat({failure.what(), " Die Datei ist nicht geprüft."}), output,
                             " (ungeprüft)");
        }
    }
    const std::size_t count = index->parts.size();
    auto label = [&](std::size_t k) { return k < parts.size() ? parts[k].label : index->parts[k].name; };
    // Every way this check fails ends the same way: the file is kept aside, never named.
    std::vector<std::string> why(count);
    auto failWithBadParts = [&] {
        std::string list;
        std::size_t bad = 0;
        for (std::size_t k = 0; k < count; ++k) {
            if (!why[k].empty()) {
                list += concat({"\n  ", label(k), " ", why[k]});
                ++bad;
            }
        }
        failKeepingAside(
            kDamaged,
            concat({"Die Datei lässt sich nicht wiederherstellen: ", decimal(static_cast<std::int64_t>(bad)),
                    " Teile sind beschädigt, die Ersatzdiskette ersetzt nur einen.", list, "\n"}),
            output, " (beschädigt)");
    };
    // What the join saw needs no checksum: a part missing, unreadable or of the wrong length.
    std::size_t seen = 0;
    std::size_t lost = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const core::recovery::PartEntry& entry = index->parts[k];
        if (k >= parts.size()) {
            why[k] = "wurde nicht gelesen";
        } else if (!parts[k].problem.empty()) {
            why[k] = parts[k].problem;
        } else if (parts[k].length != entry.length) {
            why[k] = concat({"ist ", decimal(parts[k].length), " statt ", decimal(entry.length), " Bytes lang"});
        }
        if (!why[k].empty()) {
            lost = k;
            ++seen;
        }
    }
    if (seen >= 2) {
        failWithBadParts();
    }
    if (placeAsRecorded(parts, *index, output)) {
        inOrder.hashed = -1;
    }
    output.setLength(index->fileLength);
    if (seen == 0) {
        // The usual case costs one checksum over the file, taken while it was joined.
        if (wholeFileMatches(inOrder, index->fileLength, *index, output)) {
            return "Alle Teile und die ganze Datei stimmen mit den Prüfsummen der Ersatzdiskette überein.";
        }
        const std::size_t changed = findChangedParts(*index, why, output);
        // Not one part matches: the recovery data is most likely that of another set of a file of
        // the same length, and says nothing about this one.
        if (changed >= 2 && changed == count) {
            failKeepingAside(kDamaged,
                             "Kein Teil stimmt mit den Prüfsummen der Ersatzdaten überein: sie gehören wohl zu einem "
                             "anderen Satz einer gleich langen Datei. Die Datei ist nicht geprüft.",
                             output, " (ungeprüft)");
        }
        if (changed != 1) {
            if (changed == 0) {
                failKeepingAside(kDamaged, "Die ganze Datei stimmt nicht mit ihrer aufgezeichneten Prüfsumme überein.",
                                 output, " (beschädigt)");
            }
            failWithBadParts();
        }
        lost = static_cast<std::size_t>(
            std::find_if(why.begin(), why.end(), [](const std::string& text) { return !text.empty(); }) - why.begin());
    }
    const core::recovery::PartEntry& entry = index->parts[lost];
    terminal.say(concat({label(lost), " ", why[lost], ". QUIL stellt den Teil aus der Ersatzdiskette wieder her ..."}));
    const bool rebuilt = core::recovery::rebuild(*index, lost, recovery.reader(), OtherParts{*index, output},
                                                 RebuiltPart{entry, output});
    if (!rebuilt || !wholeFileMatches(inOrder, entry.offset, *index, output)) {
        // Another part is bad as well, or the recovery data is: the parts' checksums tell which.
        if (findChangedParts(*index, why, output) > 0) {
            failWithBadParts();
        }
        failKeepingAside(
            kDamaged,
            rebuilt ? "Die ganze Datei stimmt nicht mit ihrer aufgezeichneten Prüfsumme überein."
                    : concat({label(lost), " ließ sich nicht wiederherstellen: die Ersatzdaten sind beschädigt."}),
            output, " (beschädigt)");
    }
    return concat(
        {label(lost), " wurde aus der Ersatzdiskette wiederhergestellt; die Prüfsumme der ganzen Datei stimmt."});
}

} // namespace quil
