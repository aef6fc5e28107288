// Checking the joined file against the recovery data, and rebuilding one bad part in it.
#include "RecoveryCheck.h"

#include "Failure.h"
#include "OutputFile.h"

#include <algorithm>
#include <memory>

namespace quil {

namespace {

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

// A part's MD5 as the output holds it: the join's, where it wrote that part at its recorded
// place and length, else read back.
core::recovery::Digest partSum(const InOrder& inOrder, const core::recovery::PartEntry& entry, OutputFile& output) {
    for (auto sum = inOrder.sums.rbegin(); sum != inOrder.sums.rend(); ++sum) {
        if (sum->at == entry.offset && sum->length == entry.length) {
            return sum->md5;
        }
    }
    core::recovery::Md5 md5;
    hashOutput(output, entry.offset, entry.offset + entry.length, md5);
    return md5.finish();
}

// The whole file's checksum once the output is complete. An older set's is the MD5 of the
// file's bytes, which takes one more pass over the output.
bool wholeFileMatches(const InOrder& inOrder, const Index& index, OutputFile& output) {
    if (index.wholeFileOfBytes) {
        core::recovery::Md5 whole;
        hashOutput(output, 0, index.fileLength, whole);
        return whole.finish() == index.wholeFile;
    }
    std::vector<core::recovery::Digest> sums;
    for (const core::recovery::PartEntry& entry : index.parts) {
        sums.push_back(partSum(inOrder, entry, output));
    }
    return core::recovery::wholeFileSum(sums) == index.wholeFile;
}

// Checks each part not yet found bad against its recorded MD5; a changed one gets its reason.
// Returns how many it found.
std::size_t findChangedParts(const InOrder& inOrder, const Index& index, std::vector<std::string>& why,
                             OutputFile& output) {
    std::size_t changed = 0;
    for (std::size_t k = 0; k < index.parts.size(); ++k) {
        if (why[k].empty() && partSum(inOrder, index.parts[k], output) != index.parts[k].md5) {
            why[k] = kChanged;
            ++changed;
        }
    }
    return changed;
}

} // namespace

void fetchForCheck(RecoverySource& recovery, const std::string& folder, OutputFile& output) {
    try {
        recovery.index(folder, "Zur Prüfung der Teile braucht QUIL die Ersatzdaten.", true);
    } catch (const Failure& failure) {
        failKeepingAside(failure.status(), concat({failure.what(), " Die Datei ist nicht geprüft."}), output,
                         " (ungeprüft)");
    }
}

std::string checkAgainstRecoveryData(std::vector<PartRecord> parts, InOrder inOrder, RecoverySource& recovery,
                                     OutputFile& output, Terminal& terminal) {
    const Index* index = recovery.known();
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
        inOrder.sums.clear();
    }
    output.setLength(index->fileLength);
    if (seen == 0) {
        // The usual case costs no more than the parts' checksums, taken while they were joined.
        if (wholeFileMatches(inOrder, *index, output)) {
            return "Alle Teile und die ganze Datei stimmen mit den Prüfsummen der Ersatzdiskette überein.";
        }
        const std::size_t changed = findChangedParts(inOrder, *index, why, output);
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
    bool rebuilt = false;
    try {
        rebuilt = core::recovery::rebuild(*index, lost, recovery.reader(), OtherParts{*index, output},
                                          RebuiltPart{entry, output});
    } catch (const Failure& failure) {
        // The recovery data could not be read to its end.
        failKeepingAside(failure.status(), failure.what(), output, " (beschädigt)");
    }
    // The join's checksum of the lost part was of the bytes the rebuild replaced.
    std::erase_if(inOrder.sums, [&](const PartSum& sum) { return sum.at == entry.offset; });
    if (!rebuilt || !wholeFileMatches(inOrder, *index, output)) {
        // Another part is bad as well, or the recovery data is: the parts' checksums tell which.
        if (findChangedParts(inOrder, *index, why, output) > 0) {
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
