// The writing side of the recovery data: checksums and parity in one pass over the source, then
// the stream's bytes wherever the copy run asks for them.
#include "RecoveryData.h"

#include "RecoveryPackets.h"
#include "core/ProductFacts.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace core::recovery {

using namespace packet;

namespace {

// Padding of a short part's slice: the checksums of a slice take it, the parity does not need it.
const char kZeros[64 * 1024] = {};

struct Sums {
    std::int64_t offset = 0; // of the part in the source
    Md5 bytes;               // the part's bytes, then (once they are finished) its padding
    Md5 first;               // the part's first bytes, for its file ID
    std::uint32_t crc = 0;   // of the padded slice
    Digest md5{}, firstMd5{}, sliceMd5{}, id{};
};

std::string packetOf(const Digest& setId, std::string_view type, const std::string& body) {
    std::string bytes(kMagic);
    putLE(bytes, kHeaderSize + body.size(), 8);
    Md5 md5;
    md5.update(setId.data(), setId.size());
    md5.update(type.data(), type.size());
    md5.update(body.data(), body.size());
    const Digest digest = md5.finish();
    bytes.append(digest.begin(), digest.end());
    bytes.append(setId.begin(), setId.end());
    bytes += type;
    return bytes + body;
}

void append(std::string& out, const Digest& digest) {
    out.append(digest.begin(), digest.end());
}

void appendPadded(std::string& out, std::string_view text) {
    out += text;
    out.append(static_cast<std::size_t>(padded(text.size()) - text.size()), '\0');
}

// PAR2 orders file IDs as 128-bit numbers stored little-endian.
bool idBefore(const Digest& a, const Digest& b) {
    return std::lexicographical_compare(a.rbegin(), a.rend(), b.rbegin(), b.rend());
}

std::string creatorText() {
    return std::string(core::product::kName) + " " + core::product::kVersionText;
}

} // namespace

struct Stream::Made {
    std::vector<Part> parts;
    std::string fileName;
    std::int64_t fileLength = 0;
    std::string tie;
    std::int64_t sliceSize = 0;
    std::size_t window = 0;     // of the parity, at most the slice
    std::size_t fullWindow = 0; // the window where this thread works alone
    std::size_t laneWindow = 0; // where a worker takes a lane: two parities in the memory of one
    std::int64_t length = 0;

    ReadAt source;
    bool prepared = false;
    std::vector<Sums> sums;
    std::uint64_t sourceSum = 0;           // placedSum of the source as the pass read it
    std::vector<std::uint64_t> windowSums; // its share of each window
    bool windowDiffered = false;           // a window made again read other bytes
    std::string head;                      // the recovery slice packet up to its data
    std::string index;                     // every packet after the parity
    std::vector<char> parity;
    std::int64_t parityStart = -1;           // of the window that parity holds
    std::vector<char> laneParity;            // the worker's, while the source is read
    std::array<std::vector<char>, 2> chunks; // one for each lane

    // XORs every part's bytes of the slice window [start, start + size) into parity, and with
    // sums also feeds them and the padding into the checksums.
    void makeWindow(std::int64_t start, std::size_t size, bool withSums, Worker* worker = nullptr);
    void finishFirst();
    void makeIndex(const Digest& setId, const std::string& mainBody);
};

namespace {

// One chunk's share of a window: XORed into a lane's parity (at the chunk's place in it) and
// the lane's placed sum, and with the sums fed into its part's checksums.
void feed(Sums& s, std::int64_t at, const char* bytes, std::size_t piece, char* parity, std::uint64_t& sum,
          bool withSums) {
    xorInto(parity, bytes, piece);
    sum = placedSum(sum, static_cast<std::uint64_t>(s.offset + at), bytes, piece);
    if (!withSums) {
        return;
    }
    if (at < kFirstBytes) {
        s.first.update(bytes, std::min<std::size_t>(piece, static_cast<std::size_t>(kFirstBytes - at)));
    }
    s.bytes.update(bytes, piece);
    s.crc = crc32(s.crc, bytes, piece);
}

} // namespace

void Stream::Made::makeWindow(std::int64_t start, std::size_t size, bool withSums, Worker* worker) {
    parityStart = -1;
    const std::int64_t stop = start + static_cast<std::int64_t>(size);
    std::fill_n(parity.begin(), size, '\0');
    // With a worker the parts go in pairs: the worker takes the first of two, with a parity of its
    // own, while this thread reads for both (the source is this thread's alone) and takes the
    // second. Whatever ends the pass early (a read error given up, Abbrechen) waits for the
    // worker before anything it uses goes.
    Worker* const helper = withSums ? worker : nullptr;
    std::uint64_t windowSum = 0;
    std::uint64_t helperSum = 0;
    if (helper != nullptr) {
        std::fill_n(laneParity.begin(), size, '\0');
    }
    struct Beside {
        Worker* worker;
        bool busy = false;
        void settle() {
            if (busy) {
                worker->wait();
                busy = false;
            }
        }
        ~Beside() { settle(); }
    } beside{helper};
    const std::size_t lanes = helper != nullptr ? 2 : 1;
    for (std::size_t first = 0; first < parts.size(); first += lanes) {
        const std::size_t count = std::min(lanes, parts.size() - first);
        // Lane 1, where there is one, is the worker's.
        std::int64_t at[2] = {start, start};
        for (bool more = true; more;) {
            more = false;
            for (std::size_t lane = count; lane-- > 0;) {
                const std::size_t k = first + (count - 1 - lane);
                Sums& s = sums[k];
                const std::int64_t end = std::min(stop, parts[k].length);
                if (at[lane] >= end) {
                    continue;
                }
                const auto piece = static_cast<std::size_t>(
                    std::min<std::int64_t>(static_cast<std::int64_t>(chunks[lane].size()), end - at[lane]));
                if (lane == 1) {
                    beside.settle(); // its chunk is free again
                }
                char* bytes = chunks[lane].data();
                source(s.offset + at[lane], bytes, piece);
                char* into = (lane == 1 ? laneParity.data() : parity.data()) + (at[lane] - start);
                std::uint64_t& sum = lane == 1 ? helperSum : windowSum;
                if (lane == 1) {
                    helper->start([&s, from = at[lane], bytes, piece, into, &sum, withSums] {
                        feed(s, from, bytes, piece, into, sum, withSums);
                    });
                    beside.busy = true;
                } else {
                    feed(s, at[lane], bytes, piece, into, sum, withSums);
                }
                at[lane] += static_cast<std::int64_t>(piece);
                more = more || at[lane] < end;
            }
        }
        beside.settle(); // the parts' MD5s are finished below
        for (std::size_t k = first; k < first + count; ++k) {
            Sums& s = sums[k];
            const std::int64_t partLength = parts[k].length;
            if (!withSums || partLength == 0) {
                continue; // an empty part has no slice
            }
            if (partLength > start && partLength <= stop) {
                s.md5 = Md5(s.bytes).finish();
            }
            for (std::int64_t from = std::max(start, partLength); from < stop;) {
                const std::size_t piece = static_cast<std::size_t>(std::min<std::int64_t>(sizeof kZeros, stop - from));
                s.bytes.update(kZeros, piece);
                s.crc = crc32(s.crc, kZeros, piece);
                from += static_cast<std::int64_t>(piece);
            }
        }
    }
    if (helper != nullptr) {
        xorInto(parity.data(), laneParity.data(), size);
    }
    windowSum += helperSum;
    // A window made again reads the source once more, after the run compared its sums: one that
    // reads other bytes than the pass did is told, so that its parity is never written.
    const auto number = static_cast<std::size_t>(start / static_cast<std::int64_t>(window));
    if (withSums) {
        sourceSum += windowSum;
        windowSums.at(number) = windowSum;
    } else if (windowSum != windowSums.at(number)) {
        windowDiffered = true;
    }
    parityStart = start;
}

void Stream::Made::finishFirst() {
    for (std::size_t k = 0; k < parts.size(); ++k) {
        Sums& s = sums[k];
        s.firstMd5 = s.first.finish();
        if (parts[k].length == 0) {
            s.md5 = s.firstMd5; // both are the MD5 of nothing
        }
        std::string key;
        append(key, s.firstMd5);
        putLE(key, static_cast<std::uint64_t>(parts[k].length), 8);
        key += parts[k].name;
        s.id = md5Of(key.data(), key.size());
    }
}

void Stream::Made::makeIndex(const Digest& setId, const std::string& mainBody) {
    index = packetOf(setId, kMain, mainBody);
    std::string set;
    putLE(set, static_cast<std::uint64_t>(fileLength), 8);
    std::vector<Digest> partSums;
    for (const Sums& s : sums) {
        partSums.push_back(s.md5);
    }
    append(set, wholeFileSum(partSums));
    putLE(set, parts.size(), 4);
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const Sums& s = sums[k];
        std::string description;
        append(description, s.id);
        append(description, s.md5);
        append(description, s.firstMd5);
        putLE(description, static_cast<std::uint64_t>(parts[k].length), 8);
        appendPadded(description, parts[k].name);
        index += packetOf(setId, kFileDescription, description);
        std::string checksums;
        append(checksums, s.id);
        if (parts[k].length > 0) {
            append(checksums, s.sliceMd5);
            putLE(checksums, s.crc, 4);
        }
        index += packetOf(setId, kSliceChecksums, checksums);
        append(set, s.id);
        append(set, s.md5);
        putLE(set, static_cast<std::uint64_t>(parts[k].length), 8);
    }
    appendPadded(set, fileName);
    index += packetOf(setId, kSet, set);
    if (!tie.empty()) {
        index += packetOf(setId, kTiePacket, tie);
    }
    // Last: a reader that finds it whole knows the stream is whole.
    std::string creator;
    appendPadded(creator, creatorText());
    index += packetOf(setId, kCreator, creator);
}

Stream::Stream(std::vector<Part> parts, std::string fileName, std::int64_t fileLength, std::string tie,
               std::size_t window)
    : made_(std::make_unique<Made>()) {
    Made& m = *made_;
    std::int64_t sum = 0;
    std::int64_t longest = 0;
    std::uint64_t indexLength = kHeaderSize + 12 + 16 * parts.size() + kHeaderSize + kSetFixedSize +
                                kSetEntrySize * parts.size() + padded(fileName.size()) + kHeaderSize +
                                padded(creatorText().size()) + (tie.empty() ? 0 : kHeaderSize + kTieLength);
    if (!tie.empty() && !isTie(tie)) {
        throw std::invalid_argument("recovery stream: not a tie");
    }
    m.sums.resize(parts.size());
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (parts[k].length < 0 || parts[k].length > fileLength - sum) {
            throw std::invalid_argument("recovery stream: parts do not add up to the file");
        }
        m.sums[k].offset = sum;
        sum += parts[k].length;
        longest = std::max(longest, parts[k].length);
        indexLength += 2 * kHeaderSize + 56 + padded(parts[k].name.size()) + 16 + (parts[k].length > 0 ? 20 : 0);
    }
    if (parts.empty() || sum != fileLength) {
        throw std::invalid_argument("recovery stream: parts do not add up to the file");
    }
    // PAR2 wants a slice size that is a positive multiple of 4.
    m.sliceSize = std::max<std::int64_t>(4, static_cast<std::int64_t>(padded(static_cast<std::uint64_t>(longest))));
    const auto windowOf = [&](std::size_t wanted) {
        return static_cast<std::size_t>(std::min<std::int64_t>(
            m.sliceSize,
            static_cast<std::int64_t>(std::max<std::size_t>(wanted, static_cast<std::size_t>(kFirstBytes)))));
    };
    m.fullWindow = windowOf(window);
    m.laneWindow = windowOf(window / 2);
    m.window = m.fullWindow;
    m.length = static_cast<std::int64_t>(kParityOffset) + m.sliceSize + static_cast<std::int64_t>(indexLength);
    m.parts = std::move(parts);
    m.fileName = std::move(fileName);
    m.fileLength = fileLength;
    m.tie = std::move(tie);
}

Stream::~Stream() = default;

std::int64_t Stream::length() const {
    return made_->length;
}

std::uint64_t Stream::sourceSum() const {
    return made_->sourceSum;
}

bool Stream::sourceChangedSincePrepare() const {
    return made_->windowDiffered;
}

void Stream::prepare(const ReadAt& source, Worker* worker) {
    Made& m = *made_;
    m.prepared = false;
    m.source = source;
    // The window chosen here stays for every read after the pass.
    m.window = worker != nullptr ? m.laneWindow : m.fullWindow;
    m.laneParity.assign(worker != nullptr ? m.window : 0, '\0');
    m.parity.assign(m.window, '\0');
    m.sourceSum = 0;
    m.windowSums.assign(static_cast<std::size_t>((m.sliceSize + static_cast<std::int64_t>(m.window) - 1) /
                                                 static_cast<std::int64_t>(m.window)),
                        0);
    m.windowDiffered = false;
    for (std::vector<char>& chunk : m.chunks) {
        chunk.resize(std::min(m.window, kChunk));
    }
    for (Sums& s : m.sums) {
        s = Sums{s.offset, Md5(), Md5(), 0, {}, {}, {}, {}};
    }
    // The recovery slice packet's checksum starts with the set ID, which the file IDs make, which
    // take the first 16 KiB of every part: all in the first window, which is never smaller.
    Md5 slicePacket;
    Digest setId{};
    std::string mainBody;
    for (std::int64_t start = 0; start < m.sliceSize; start += static_cast<std::int64_t>(m.window)) {
        const auto size =
            static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(m.window), m.sliceSize - start));
        m.makeWindow(start, size, true, worker);
        if (start == 0) {
            m.finishFirst();
            std::vector<Digest> ids;
            for (const Sums& s : m.sums) {
                ids.push_back(s.id);
            }
            std::sort(ids.begin(), ids.end(), idBefore);
            putLE(mainBody, static_cast<std::uint64_t>(m.sliceSize), 8);
            putLE(mainBody, ids.size(), 4);
            for (const Digest& id : ids) {
                append(mainBody, id);
            }
            setId = md5Of(mainBody.data(), mainBody.size());
            slicePacket.update(setId.data(), setId.size());
            slicePacket.update(kRecoverySlice.data(), kRecoverySlice.size());
            slicePacket.update("\0\0\0\0", 4); // exponent 0
        }
        slicePacket.update(m.parity.data(), size);
    }
    for (std::size_t k = 0; k < m.parts.size(); ++k) {
        if (m.parts[k].length > 0) {
            m.sums[k].sliceMd5 = m.sums[k].bytes.finish();
        }
    }
    m.head = std::string(kMagic);
    putLE(m.head, static_cast<std::uint64_t>(m.sliceSize) + kParityOffset, 8);
    append(m.head, slicePacket.finish());
    append(m.head, setId);
    m.head += kRecoverySlice;
    putLE(m.head, 0, 4);
    m.makeIndex(setId, mainBody);
    if (static_cast<std::int64_t>(m.head.size() + m.index.size()) + m.sliceSize != m.length) {
        throw std::logic_error("recovery stream: length differs from the one announced");
    }
    std::vector<char>().swap(m.laneParity);
    m.prepared = true;
}

void Stream::read(std::int64_t offset, char* buffer, std::size_t size) {
    Made& m = *made_;
    if (!m.prepared) {
        throw std::logic_error("recovery stream read before prepare");
    }
    if (offset < 0 || offset > m.length || static_cast<std::int64_t>(size) > m.length - offset) {
        throw std::out_of_range("recovery stream read beyond its end");
    }
    const auto headSize = static_cast<std::int64_t>(m.head.size());
    while (size > 0) {
        std::size_t taken = 0;
        if (offset < headSize) {
            taken = std::min(size, static_cast<std::size_t>(headSize - offset));
            std::copy_n(m.head.data() + offset, taken, buffer);
        } else if (offset < headSize + m.sliceSize) {
            const std::int64_t at = offset - headSize;
            const auto window = static_cast<std::int64_t>(m.window);
            const std::int64_t start = at / window * window;
            const auto filled = static_cast<std::size_t>(std::min(window, m.sliceSize - start));
            if (start != m.parityStart) {
                m.makeWindow(start, filled, false);
            }
            taken = std::min(size, filled - static_cast<std::size_t>(at - start));
            std::copy_n(m.parity.data() + (at - start), taken, buffer);
        } else {
            const auto at = static_cast<std::size_t>(offset - headSize - m.sliceSize);
            taken = std::min(size, m.index.size() - at);
            std::copy_n(m.index.data() + at, taken, buffer);
        }
        offset += static_cast<std::int64_t>(taken);
        buffer += taken;
        size -= taken;
    }
}

} // namespace core::recovery
