// The recovery data of a set made "mit Ersatzdiskette": one PAR2 stream (the open format of
// par2cmdline and every PAR2 tool) that rebuilds any one part, and the checksums that tell a
// damaged part from a good one. The copy run writes it after the last part; QUIL.EXE reads it.
//
// The stream is a PAR2 recovery set in its smallest form: every part is one input file of
// exactly one slice (the slice size is the longest part's length rounded up to a multiple of
// 4, a shorter part is padded with zeros), and there is one recovery slice, exponent 0. Its
// coefficients are all 1, so it is the XOR of all parts: one lost part is that XOR with every
// other part, without the Galois-field arithmetic that more recovery slices would need.
//
// Order of the packets: the recovery slice first, then the main packet, a file description and
// a slice checksum packet per part, the program's own packet (the whole file's length, name
// and checksum; PAR2 readers skip packets they do not know) and the creator packet. The index comes
// after the parity because its checksums are known only once the source has been read.
#pragma once

#include "Checksums.h"
#include "Worker.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core::recovery {

// The line that marks a set with recovery data. It stands in QUIL.EXE between the program's own
// bytes and the trailer's first line, where a reader of the four trailer lines takes it for the
// program's last bytes: a set with recovery data restores with every QUIL.EXE, and a set
// without it has no such line. After the text comes a blank and the set's tie, which its
// recovery data carries too: Ersatzdisketten of another run of the same file (of the same
// length, perhaps of another version) are then told apart from the set's own. Sets written
// before the tie have the text alone.
inline constexpr std::string_view kMarkerText = "Splitwerk 99 mit Ersatzdiskette";
inline constexpr std::size_t kTieLength = 16;
// The marker line with its line end; tie may be empty (a set written before the tie).
std::string markerLine(std::string_view tie);
// A tie for a new set: kTieLength lowercase hex digits from the MD5 of seed, which the writer
// makes from what differs between runs (the time, the source).
std::string makeTie(std::string_view seed);
// Whether text is a tie.
bool isTie(std::string_view text);

// The stream's pieces: on one medium the whole stream is "QUILME.par2". Where it spans media
// (the diskettes), piece 1 is "QUILME.par2" and piece n "QUILMEn.par2" (n from 2); the stream
// is their concatenation.
std::string pieceName(int number);
// A piece's number from its name in any letter case; nothing for any other name.
std::optional<int> pieceNumber(std::string_view name);

// The most memory the making and the reading of the stream hold at once, whatever the part
// size: parity and read buffers are windows of the slice, never the slice.
inline constexpr std::size_t kMemoryLimit = 16 * 1024 * 1024;
// A slice up to this size is held whole while the stream is made; a longer one is worked through
// in windows of this size. A smaller window (at least 16 KiB) is for the tests.
inline constexpr std::size_t kWindow = 8 * 1024 * 1024;

// A part as it is in the set: its name on the medium and its length. The parts follow each
// other in the source in this order.
struct Part {
    std::string name;
    std::int64_t length = 0;
};

// Reads exactly size bytes at offset; throws (whatever its caller understands) when it cannot.
using ReadAt = std::function<void(std::int64_t offset, char* buffer, std::size_t size)>;

// The split side: the stream as a file that the copy run writes like the source, in pieces, at
// any position it asks for (a retry after a full disk reads the same bytes again).
class Stream {
public:
    // parts: the set as written; fileName and fileLength: the restored file's, as the trailer
    // names it; tie: the one its QUIL.EXE carries (empty: none).
    Stream(std::vector<Part> parts, std::string fileName, std::int64_t fileLength, std::string tie,
           std::size_t window = kWindow);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // The stream's length, known before any byte is read.
    std::int64_t length() const;
    // One pass over the source (source reads at offsets into the source file), which every read
    // needs first: the checksums of the parts and of the parity. A slice that fits the window
    // keeps its parity from this pass; a longer one is made again, window by window, as
    // read() asks for it, from the same source, which must not change in between. A worker, where
    // there is one, takes the MD5 beside the rest.
    void prepare(const ReadAt& source, Worker* worker = nullptr);
    // After prepare: the placedSum of the source as that pass read it. The copy run compares it
    // with the one it took while it wrote the parts: a source that changed in between would give
    // recovery data for bytes the parts do not hold.
    std::uint64_t sourceSum() const;
    // Whether a read made a window of the parity again from other bytes than prepare read there:
    // the source changed since, and the stream is not to be written on.
    bool sourceChangedSincePrepare() const;
    // The stream's bytes [offset, offset + size).
    void read(std::int64_t offset, char* buffer, std::size_t size);

private:
    struct Made;
    std::unique_ptr<Made> made_;
};

// The reading side: what QUIL.EXE needs from the stream.
struct PartEntry {
    std::string name;
    std::int64_t offset = 0; // of its first byte in the restored file
    std::int64_t length = 0;
    Digest md5{};
};
// The whole file's checksum as a set records it: the MD5 of its parts' MD5s in their order, so
// that one MD5 over every byte serves the parts, PAR2 and the whole file. Sets written before
// it record the MD5 of the file's bytes (Index::wholeFileOfBytes).
Digest wholeFileSum(const std::vector<Digest>& partSums);

struct Index {
    std::vector<PartEntry> parts;
    std::string fileName;
    std::int64_t fileLength = 0;
    Digest wholeFile{};
    bool wholeFileOfBytes = false; // an older set's: the MD5 of the bytes, not wholeFileSum
    std::int64_t sliceSize = 0;
    std::int64_t parityOffset = 0; // where in the stream the recovery slice's bytes begin
    std::string tie;               // of the set it was written for; empty in a stream without one
};
struct IndexReading {
    std::optional<Index> index;
    std::string problem; // in German, when there is no index
    // Whether more bytes cannot change the reading: the stream is whole (or its start is not
    // recovery data at all). Else its next piece may complete it.
    bool final = false;
    // Whether whole packets of another set follow the parity: a piece of other recovery data.
    bool foreign = false;
};
// Reads the packets of a stream of streamLength bytes; packets whose checksum is wrong are
// passed over, as PAR2 does, so a stream is usable while its index and parity are whole. The
// index is the program's own packet; the parts' names follow the set's rule. The recovery slice
// packet's own MD5 is not checked (that would read the whole parity once more): rebuild checks
// what it makes instead.
IndexReading readIndex(const ReadAt& stream, std::int64_t streamLength);

// Rebuilds part number `lost` (an index into index.parts) from the recovery slice and every
// other part: otherPart(k, offset, buffer, size) reads part k's bytes, write(offset, data, size)
// takes the rebuilt part in order. Returns whether the rebuilt part has the MD5 the stream
// recorded for it; memory stays within the limit whatever the slice size. It reads the parity
// and the other parts only as far as the lost part reaches, window by window (every part's
// bytes of one window, then the next window).
bool rebuild(
    const Index& index, std::size_t lost, const ReadAt& stream,
    const std::function<void(std::size_t part, std::int64_t offset, char* buffer, std::size_t size)>& otherPart,
    const std::function<void(std::int64_t offset, const char* data, std::size_t size)>& write,
    std::size_t window = kWindow);

} // namespace core::recovery
