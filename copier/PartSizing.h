// How big a part may grow and what it is called: the two rules of the disk set that are pure
// arithmetic on 16- and 32-bit numbers.
#pragma once

#include <cstdint>
#include <string>

namespace kopierer {

// Largest part when the user sets no limit: 512 MiB.
inline constexpr int32_t kDefaultMaxPartSize = 0x20000000;
// Largest chunk moved by one read and one write.
inline constexpr int32_t kMaxChunkSize = 131072;
// A chunk halved below this size means the disk is full.
inline constexpr int32_t kMinChunkSize = 512;

// The leading number of the size text times 1024^(unit index + 1), rounded to the nearest
// whole number (ties to even); error 6 when that leaves the signed 32-bit range.
int32_t maxPartSize(const std::string& zahlText, int unitListIndex);

// TargetFolder + "QUILME" + the last two digits of (part number + 100) + ".sys"; the sum is
// a 16-bit number, so a part number above 32667 is error 6.
std::string partFileName(const std::string& targetFolder, int16_t partCounter);

} // namespace kopierer
