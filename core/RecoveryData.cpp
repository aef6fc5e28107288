// The reading side of the recovery data: the pieces' names, the index and the rebuild of a part.
#include "RecoveryData.h"

#include "DiskSet.h"
#include "DosPath.h"
#include "RecoveryPackets.h"

#include <algorithm>

namespace core::recovery {

using namespace packet;

namespace {

constexpr std::string_view kPieceStem = "QUILME";
constexpr std::string_view kPieceExtension = ".par2";
constexpr const char* kDamagedIndex = "Das Verzeichnis der Ersatzdaten ist beschädigt.";

IndexReading noIndex(std::string problem, bool final = false) {
    return IndexReading{std::nullopt, std::move(problem), final};
}

Digest digestAt(const char* bytes) {
    Digest digest;
    std::copy_n(bytes, digest.size(), digest.begin());
    return digest;
}

// What the packets after the parity hold for the index: the body of the own packet, the only
// one the index needs (PAR2's file descriptions are for PAR2 readers; the parts' names follow
// the set's rule), and whether the stream ends with the creator packet, which is written last:
// a stream that does is whole, and no further piece can mend it. A packet whose checksum or
// set is wrong is passed over, and the search for the next one goes on 4 bytes further, as
// PAR2 readers do.
struct AfterParity {
    std::string_view set;
    bool setOfBytes = false;
    std::string_view tie;
    bool endsWithCreator = false;
    bool otherSet = false; // a whole packet of another set was passed over
};
AfterParity packetsAfterParity(std::string_view bytes, const Digest& setId) {
    const std::string_view id(reinterpret_cast<const char*>(setId.data()), setId.size());
    AfterParity found;
    for (std::size_t at = 0; at + kHeaderSize <= bytes.size();) {
        const std::uint64_t length = getLE(bytes.data() + at + 8, 8);
        if (bytes.substr(at, 8) != kMagic || length < kHeaderSize || length % 4 != 0 || length > bytes.size() - at ||
            md5Of(bytes.data() + at + 32, static_cast<std::size_t>(length) - 32) != digestAt(bytes.data() + at + 16)) {
            at += 4;
            continue;
        }
        if (bytes.substr(at + 32, 16) != id) {
            found.otherSet = true;
            at += static_cast<std::size_t>(length);
            continue;
        }
        const std::string_view type = bytes.substr(at + 48, 16);
        const std::string_view body = bytes.substr(at + kHeaderSize, static_cast<std::size_t>(length) - kHeaderSize);
        if ((type == kSet || type == kSetOfBytes) && found.set.empty()) {
            found.set = body;
            found.setOfBytes = type == kSetOfBytes;
        } else if (type == kTiePacket && found.tie.empty()) {
            found.tie = body;
        }
        at += static_cast<std::size_t>(length);
        found.endsWithCreator = type == kCreator && at == bytes.size();
    }
    return found;
}

} // namespace

Digest wholeFileSum(const std::vector<Digest>& partSums) {
    Md5 md5;
    for (const Digest& sum : partSums) {
        md5.update(sum.data(), sum.size());
    }
    return md5.finish();
}

std::string markerLine(std::string_view tie) {
    std::string line(kMarkerText);
    if (!tie.empty()) {
        line += ' ';
        line += tie;
    }
    return line + std::string(core::diskset::kLineEnd);
}

std::string makeTie(std::string_view seed) {
    const Digest digest = md5Of(seed.data(), seed.size());
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string tie;
    for (std::size_t k = 0; k < kTieLength / 2; ++k) {
        tie += kDigits[digest[k] >> 4];
        tie += kDigits[digest[k] & 0xF];
    }
    return tie;
}

bool isTie(std::string_view text) {
    return text.size() == kTieLength && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

std::string pieceName(int number) {
    return std::string(kPieceStem) + (number > 1 ? std::to_string(number) : std::string()) +
           std::string(kPieceExtension);
}

std::optional<int> pieceNumber(std::string_view name) {
    const std::size_t fixed = kPieceStem.size() + kPieceExtension.size();
    if (name.size() < fixed || name.size() > fixed + 6 ||
        !core::dospath::equalIgnoringCase(name.substr(0, kPieceStem.size()), kPieceStem) ||
        !core::dospath::equalIgnoringCase(name.substr(name.size() - kPieceExtension.size()), kPieceExtension)) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(kPieceStem.size(), name.size() - fixed);
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    // Piece 1 has no number, and no number has a leading zero: one name for every piece.
    if (digits.empty()) {
        return 1;
    }
    return number >= 2 && digits[0] != '0' ? std::optional<int>(number) : std::nullopt;
}

IndexReading readIndex(const ReadAt& stream, std::int64_t streamLength) {
    if (streamLength < static_cast<std::int64_t>(kParityOffset)) {
        return noIndex("Die Ersatzdaten sind unvollständig.");
    }
    char head[kParityOffset];
    stream(0, head, sizeof head);
    const std::string_view start(head, sizeof head);
    const std::uint64_t first = getLE(head + 8, 8);
    if (start.substr(0, 8) != kMagic || start.substr(48, 16) != kRecoverySlice || getLE(head + 64, 4) != 0 ||
        first <= kParityOffset || first % 4 != 0) {
        return noIndex("Der Anfang der Ersatzdaten ist beschädigt.", true);
    }
    // The parity goes on in a piece not read yet.
    if (first > static_cast<std::uint64_t>(streamLength)) {
        return noIndex("Die Ersatzdaten sind unvollständig.");
    }
    const auto rest = static_cast<std::uint64_t>(streamLength) - first;
    // The packets after the parity take under 300 bytes a part: under 10 MB for the most parts a
    // set can have (32767). Held with the index made from them, that stays within the limit.
    if (rest > kMemoryLimit / 4 * 3) {
        return noIndex("Das Verzeichnis der Ersatzdaten ist unglaubwürdig groß.", true);
    }
    std::string bytes(static_cast<std::size_t>(rest), '\0');
    stream(static_cast<std::int64_t>(first), bytes.data(), bytes.size());
    const AfterParity after = packetsAfterParity(bytes, digestAt(head + 32));
    const std::string_view set = after.set;

    Index index;
    index.sliceSize = static_cast<std::int64_t>(first - kParityOffset);
    index.parityOffset = static_cast<std::int64_t>(kParityOffset);
    const std::size_t count = set.size() >= kSetFixedSize ? static_cast<std::size_t>(getLE(set.data() + 24, 4)) : 0;
    if (count == 0 || count > (set.size() - kSetFixedSize) / kSetEntrySize) {
        if (after.otherSet) {
            IndexReading reading = noIndex("Ein Stück der Ersatzdaten gehört zu einem anderen Satz.", true);
            reading.foreign = true;
            return reading;
        }
        return noIndex(after.endsWithCreator ? kDamagedIndex : "Die Ersatzdaten sind unvollständig.",
                       after.endsWithCreator);
    }
    index.fileLength = static_cast<std::int64_t>(getLE(set.data(), 8));
    index.wholeFile = digestAt(set.data() + 8);
    index.wholeFileOfBytes = after.setOfBytes;
    std::string_view name = set.substr(kSetFixedSize + kSetEntrySize * count);
    index.fileName = std::string(name.substr(0, name.find('\0')));
    index.tie = std::string(after.tie);
    std::uint64_t offset = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const char* entry = set.data() + kSetFixedSize + kSetEntrySize * k;
        PartEntry part;
        part.md5 = digestAt(entry + 16);
        const std::uint64_t length = getLE(entry + 32, 8);
        if (length > static_cast<std::uint64_t>(index.sliceSize) ||
            length > static_cast<std::uint64_t>(index.fileLength) - offset) {
            return noIndex(kDamagedIndex, true);
        }
        part.offset = static_cast<std::int64_t>(offset);
        part.length = static_cast<std::int64_t>(length);
        offset += length;
        part.name = core::diskset::partName(static_cast<long>(k + 1));
        index.parts.push_back(std::move(part));
    }
    if (offset != static_cast<std::uint64_t>(index.fileLength)) {
        return noIndex(kDamagedIndex, true);
    }
    return IndexReading{std::move(index), {}, true};
}

bool rebuild(
    const Index& index, std::size_t lost, const ReadAt& stream,
    const std::function<void(std::size_t part, std::int64_t offset, char* buffer, std::size_t size)>& otherPart,
    const std::function<void(std::int64_t offset, const char* data, std::size_t size)>& write, std::size_t window) {
    const std::int64_t length = index.parts.at(lost).length;
    const auto size = static_cast<std::size_t>(std::min<std::int64_t>(
        std::max<std::int64_t>(length, 1), static_cast<std::int64_t>(std::max<std::size_t>(window, kFirstBytes))));
    std::vector<char> sum(size);
    std::vector<char> chunk(std::min(size, kChunk));
    Md5 md5;
    for (std::int64_t start = 0; start < length; start += static_cast<std::int64_t>(size)) {
        const auto filled =
            static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(size), length - start));
        const std::int64_t stop = start + static_cast<std::int64_t>(filled);
        stream(index.parityOffset + start, sum.data(), filled);
        for (std::size_t k = 0; k < index.parts.size(); ++k) {
            const std::int64_t end = k == lost ? start : std::min(stop, index.parts[k].length);
            for (std::int64_t at = start; at < end;) {
                const auto piece =
                    static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(chunk.size()), end - at));
                otherPart(k, at, chunk.data(), piece);
                xorInto(sum.data() + (at - start), chunk.data(), piece);
                at += static_cast<std::int64_t>(piece);
            }
        }
        md5.update(sum.data(), filled);
        write(start, sum.data(), filled);
    }
    return md5.finish() == index.parts[lost].md5;
}

} // namespace core::recovery
