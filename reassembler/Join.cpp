// The join. Each part is opened only while it is read, so that between parts nothing holds
// the medium and the user can swap the disk.
#include "Join.h"

#include "Failure.h"
#include "OutputFile.h"
#include "OutputFolder.h"
#include "PartNames.h"
#include "Trailer.h"
#include "core/DiskSet.h"
#include "lowio/Io.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace quil {

namespace {

// How much one copy inside the system takes: large enough that the calls cost nothing, small
// enough that the early writeback (in steps of a MiB) keeps the medium busy.
constexpr std::int64_t kSystemCopyStep = 1024 * 1024;

std::string tooLong(const std::string& name, std::int64_t total, std::int64_t length) {
    return "Die Teile sind länger als die Originaldatei: mit " + name + " ergeben sie " + std::to_string(total) +
           " Bytes, die Originaldatei hatte " + std::to_string(length) +
           " Bytes. Der Diskettensatz ist beschädigt oder gehört nicht zusammen.";
}

} // namespace

FolderScan scanFolder(const std::string& folder, std::int64_t length) {
    FolderScan scan;
    std::set<PartIdentity> seen;
    while (scan.bytes < length) {
        const std::string name = core::diskset::partName(scan.parts + 1);
        const std::optional<std::string> path = findPart(folder, name);
        if (!path) {
            break;
        }
        const host::FileFacts facts = host::factsOf(*path);
        if (facts.kind == host::FileFacts::Kind::Missing || !seen.insert(facts.identity).second) {
            break;
        }
        if (facts.size > length - scan.bytes) {
            scan.overlongPart = name;
            scan.bytes += facts.size;
            break;
        }
        scan.bytes += facts.size;
        ++scan.parts;
    }
    return scan;
}

Joiner::~Joiner() = default;

Joiner::Joiner(std::int64_t length, std::string folder, std::string workingFolder, Terminal& terminal,
               RecoverySource* recovery)
    : length_(length), folder_(std::move(folder)), workingFolder_(std::move(workingFolder)), terminal_(terminal),
      recovery_(recovery) {}

void Joiner::run(OutputFile& output) {
    if (recovery_ != nullptr) {
        recovery_->lookBeside(folder_);
    }
    placeOnceKnown(output);
    while (!joinedAll()) {
        const std::string name = core::diskset::partName(partNumber_);
        if (const std::optional<std::string> path = locateNextPart(name)) {
            if (partNumber_ == 1) {
                checkFirstDiskBelongs();
            }
            // Told once the part is closed: the recovery data may be on a disk that replaces it.
            if (const std::optional<PartFault> fault = copyPart(*path, name, output)) {
                if (fault->fault == Fault::TooLong && recovery_ != nullptr && recovery_->known() == nullptr) {
                    // This part, or one before it, is longer than it was: the recovery data
                    // tells which, and puts every part in its place, this one included.
                    recovery_->index(folder_,
                                     concat({name, " passt nicht mehr in die Datei: dieser Teil oder einer "
                                                   "davor ist zu lang. Um jeden Teil an seinen Platz zu setzen, "
                                                   "braucht QUIL die Ersatzdaten."}));
                    placeOnceKnown(output);
                    continue;
                }
                badPart(name, *fault, output);
            }
        } else {
            passOver(name, "fehlt", output);
        }
        placeOnceKnown(output);
        ++partNumber_;
    }
}

void Joiner::placeOnceKnown(OutputFile& output) {
    const core::recovery::Index* index = recovery_ != nullptr && !placed_ ? recovery_->known() : nullptr;
    if (index != nullptr) {
        placed_ = true;
        if (placeAsRecorded(parts_, *index, output)) {
            sums_.clear(); // the parts' bytes moved: they are read back where the check needs them
        }
    }
}

bool Joiner::joinedAll() const {
    // Where the recovery data is known, it counts the parts: a part of a wrong length would
    // otherwise end the join early or make it ask for a part the set never had.
    if (const core::recovery::Index* index = recovery_ != nullptr ? recovery_->known() : nullptr) {
        return ended_ || partNumber_ > static_cast<long>(index->parts.size());
    }
    return ended_ || joined_ >= length_;
}

InOrder Joiner::inOrder() const {
    return InOrder{sums_};
}

std::optional<std::string> Joiner::locateNextPart(const std::string& name) {
    for (;;) {
        if (std::optional<std::string> path = findPart(folder_, name)) {
            const host::FileFacts facts = host::factsOf(*path);
            if (facts.kind != host::FileFacts::Kind::Missing && joinedParts_.count(facts.identity) == 0) {
                return path;
            }
        }
        terminal_.say("");
        terminal_.say(whatIsMissing(name));
        const DiskAnswer answer = terminal_.askForDisk(name, lostOffer());
        switch (answer.kind) {
        case DiskAnswer::Kind::Abort:
            fail(kStopped, "Abgebrochen: " + whatIsMissing(name) + " Es wurde keine Datei geschrieben.");
        case DiskAnswer::Kind::Lost:
            return std::nullopt;
        case DiskAnswer::Kind::Retry:
            break;
        case DiskAnswer::Kind::Folder:
            folder_ = typedFolder(answer.folder, workingFolder_, terminal_).value_or(folder_);
            break;
        }
    }
}

// The parts joined so far fall short of the length. The next part may be on the next disk, or
// the last part joined is shorter than the set needs: nothing in the set tells the two apart,
// so both are named.
std::string Joiner::whatIsMissing(const std::string& nextName) const {
    std::string text = nextName + " fehlt in " + printable(folder_);
    // Once the recovery data has counted the parts, a missing one is missing.
    if (partNumber_ > 1 && (recovery_ == nullptr || recovery_->known() == nullptr)) {
        text += " (oder " + core::diskset::partName(partNumber_ - 1) + " ist zu kurz)";
    }
    const core::recovery::Index* index = recovery_ != nullptr ? recovery_->known() : nullptr;
    const std::int64_t missing = index != nullptr && static_cast<std::size_t>(partNumber_) <= index->parts.size()
                                     ? length_ - index->parts[static_cast<std::size_t>(partNumber_ - 1)].offset
                                     : length_ - joined_;
    return text + "; es fehlen noch " + std::to_string(missing) + " von " + std::to_string(length_) + " Bytes.";
}

// A QUIL.EXE beside the first part tells which set that disk belongs to. With recovery data, the
// parts of another run of the same file would be "rebuilt" into this run's version: a set whose
// first disk carries another tie is refused before a byte is joined.
void Joiner::checkFirstDiskBelongs() const {
    const std::optional<std::string> beside =
        recovery_ != nullptr ? findPart(folder_, core::diskset::kReassembler) : std::nullopt;
    if (!beside) {
        return;
    }
    const core::diskset::TrailerReading reading = readTrailer(*beside);
    if (reading.trailer && (!reading.trailer->withRecovery || reading.trailer->recoveryTie != recovery_->tie())) {
        fail(kDamaged, concat({"Die Diskette mit QUILME01.sys gehört zu einer anderen Sicherung als dieses QUIL.EXE "
                               "(QUIL.EXE daneben trägt eine andere Kennung). Starten Sie das QUIL.EXE dieser "
                               "Sicherung. Es wurde keine Datei geschrieben."}));
    }
}

LostOffer Joiner::lostOffer() const {
    if (recovery_ == nullptr) {
        return LostOffer::None;
    }
    const bool oneIsBad =
        std::any_of(parts_.begin(), parts_.end(), [](const PartRecord& part) { return !part.problem.empty(); });
    return oneIsBad ? LostOffer::NoMore : LostOffer::Rebuild;
}

std::string Joiner::label(const std::string& name) const {
    return concat({host::isExchangeableMedium(folder_) ? "Diskette " : "Teil ", decimal(partNumber_), " (", name, ")"});
}

void Joiner::badPart(const std::string& name, const PartFault& bad, OutputFile& output) {
    const Fault fault = bad.fault;
    const std::string& detail = bad.detail;
    // Per fault: what the part is called with recovery data, and the message without it
    // (before + name + middle + detail + after), which is what it always was.
    struct Words {
        const char* problem;
        const char* before;
        const char* middle;
        const char* after;
    };
    static constexpr Words kWords[] = {
        {"ist nicht lesbar (", "", " lässt sich nicht öffnen (", ")."},
        {"ist nicht lesbar (", "", " lässt sich nicht lesen (", ")."},
        {"ist nicht lesbar (", "Lesefehler in ", ": ", "."},
        {"ist keine gewöhnliche Datei", "", " ist keine gewöhnliche Datei.", ""},
        {"ist zu lang", "", "", ""},
        {"ist zu kurz", "", " ist zu kurz: gelesen wurden nur ", " Bytes."},
    };
    const Words& words = kWords[static_cast<int>(fault)];
    if (recovery_ == nullptr) {
        fail(kDamaged, fault == Fault::TooLong ? tooLong(name, bad.total, length_)
                                               : concat({words.before, name, words.middle, detail, words.after}));
    }
    const bool unreadable = fault <= Fault::Read;
    passOver(name, concat({words.problem, unreadable ? detail : "", unreadable ? ")" : ""}), output);
}

// The part's room is left in the output (a gap, or what was read of it before it failed), and
// the join goes on after it: for that the recovery data must tell its length now.
void Joiner::passOver(const std::string& name, const std::string& problem, OutputFile& output) {
    const std::string which = label(name);
    const std::string said = concat({which, " ", problem, "."});
    const core::recovery::Index* known = recovery_->known();
    if (known != nullptr) {
        terminal_.say(said);
    }
    const core::recovery::Index& index =
        known != nullptr ? *known : recovery_->index(folder_, said + " Für diesen Teil braucht QUIL die Ersatzdaten.");
    const auto k = static_cast<std::size_t>(partNumber_ - 1);
    if (k >= index.parts.size()) {
        ended_ = true; // a part of a wrong length before it misled the count by length
        return;
    }
    const core::recovery::PartEntry& entry = index.parts[k];
    const bool first = lostOffer() == LostOffer::Rebuild;
    parts_.push_back(PartRecord{which, entry.offset, entry.length, problem});
    joined_ = entry.offset + entry.length;
    output.moveTo(joined_);
    terminal_.say(first ? concat({which, " wird am Ende aus der Ersatzdiskette wiederhergestellt."})
                        : concat({"Die Ersatzdiskette ersetzt nur einen Teil: ", which,
                                  " lässt sich nicht mehr wiederherstellen."}));
}

std::optional<Joiner::PartFault> Joiner::copyPart(const std::string& path, const std::string& name,
                                                  OutputFile& output) {
    lowio::SystemError openError = 0;
    const lowio::Handle fd = host::openForReading(path, openError);
    if (!fd.valid()) {
        return PartFault{Fault::Open, describeError(openError)};
    }
    host::FileFacts info;
    if (const lowio::SystemError err = host::factsOf(fd.get(), info); err != 0) {
        return PartFault{Fault::Facts, describeError(err)};
    }
    if (info.kind != host::FileFacts::Kind::Regular) {
        return PartFault{Fault::NotRegular, {}};
    }
    // Where the recovery data is known, each part goes to its recorded place and may fill no
    // more than its recorded length; one that ends short is told by the check. Its bytes are
    // read all the same, so that a read error is named as such.
    std::int64_t end = length_;
    if (const core::recovery::Index* index = recovery_ != nullptr ? recovery_->known() : nullptr) {
        const core::recovery::PartEntry& entry = index->parts[static_cast<std::size_t>(partNumber_ - 1)];
        if (output.position() != entry.offset) {
            output.moveTo(entry.offset);
        }
        joined_ = entry.offset;
        end = entry.offset + entry.length;
    }
    // Refuse before writing a byte of a part that cannot fit.
    if (info.size > end - joined_) {
        return PartFault{Fault::TooLong, {}, joined_ + info.size};
    }
    joinedParts_.insert(info.identity);
    const std::unique_ptr<lowio::ChunkBuffer> buffer = std::make_unique_for_overwrite<lowio::ChunkBuffer>();
    const std::int64_t start = joined_;
    std::int64_t partBytes = 0;
    core::recovery::Md5 sum;
    // Copied inside the system while it goes, at most up to the set's length; reading and
    // writing take over where it stops, and they alone tell the end of a part (a file in /proc
    // copies as empty) and a part that gives more than the set's length. Bytes checked against
    // recovery data must pass through the program.
    bool inSystem = recovery_ == nullptr;
    for (;;) {
        const std::int64_t room = end - joined_;
        if (inSystem && room > 0) {
            const auto step = static_cast<std::size_t>(room < kSystemCopyStep ? room : kSystemCopyStep);
            const auto copied = static_cast<std::int64_t>(output.copyInSystem(fd.get(), step));
            inSystem = copied > 0;
            joined_ += copied;
            partBytes += copied;
            continue;
        }
        std::size_t got = 0;
        if (const lowio::SystemError err = lowio::readSome(fd.get(), buffer->bytes, sizeof buffer->bytes, got);
            err != 0) {
            return PartFault{Fault::Read, describeError(err)};
        }
        if (got == 0) {
            break;
        }
        // The file may have grown since it was measured: never more than the set's length.
        if (static_cast<std::int64_t>(got) > room) {
            joinedParts_.erase(info.identity); // it may be joined again once it is placed
            return PartFault{Fault::TooLong, {}, joined_ + static_cast<std::int64_t>(got)};
        }
        output.write(buffer->bytes, got);
        if (recovery_ != nullptr) {
            sum.update(buffer->bytes, got);
        }
        joined_ += static_cast<std::int64_t>(got);
        partBytes += static_cast<std::int64_t>(got);
    }
    // A part that gives fewer bytes than it is long was cut short while it was read (or the
    // medium lost its end): the set cannot be restored from it.
    if (partBytes < info.size) {
        return PartFault{Fault::TooShort, concat({decimal(partBytes), " von ", decimal(info.size)})};
    }
    if (recovery_ != nullptr) {
        parts_.push_back(PartRecord{label(name), start, partBytes, {}});
        sums_.push_back(PartSum{start, partBytes, sum.finish()});
    }
    terminal_.say(name + ": " + std::to_string(partBytes) + " Bytes (" + std::to_string(joined_) + " von " +
                  std::to_string(length_) + ")");
    return std::nullopt;
}

} // namespace quil
