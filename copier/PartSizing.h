// How big a part may grow and what it is called: the rules of the disk set that are pure
// arithmetic. Sizes are 64-bit; part numbers stay 16-bit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kopierer {

// Largest part when the user sets no limit: 512 MiB.
inline constexpr int64_t kDefaultMaxPartSize = 0x20000000;
// Largest chunk moved by one read and one write.
inline constexpr int32_t kMaxChunkSize = 131072;
// A chunk halved below this size means the disk is full.
inline constexpr int32_t kMinChunkSize = 512;
// In one folder the hundred-and-first part would bear the first one's name.
inline constexpr int64_t kMostPartsInAFolder = 100;
// Part numbers are 16-bit and named from number + 100, so no set has more parts than this.
inline constexpr int16_t kMostPartsInASet = 32767 - 100;

// The leading number of the size text times 1024^(unit index + 1), rounded to the nearest
// whole number (ties to even): every size that fits 32 bits comes out as it always did, a larger
// one as a 64-bit size. Nothing when the product is not finite or beyond the signed 64-bit
// range; a product below it is the smallest 64-bit number, no size either.
std::optional<int64_t> maxPartSize(const std::string& zahlText, int unitListIndex);

// The parts a source of that length gives at that part size (which is at least 1).
int64_t partsFor(int64_t sourceLength, int64_t maxPartSize);

// The smallest part size the user can type (a whole number of Kbyte or Mbyte, in the window's
// unit list) that splits the source into no more than kMostPartsInAFolder parts. Kbyte below
// 10 Mbyte, where rounding up to whole Mbyte would make the parts noticeably larger than needed.
struct TypedPartSize {
    int64_t number = 0;
    int unitListIndex = 0; // 0: Kbyte, 1: Mbyte
};
TypedPartSize smallestPartSizeForAFolder(int64_t sourceLength);

// TargetFolder + "QUILME" + the last two digits of (part number + 100) + ".sys"; the sum is
// a 16-bit number, so a part number above 32667 is error 6.
std::string partFileName(const std::string& targetFolder, int16_t partCounter);

} // namespace kopierer
