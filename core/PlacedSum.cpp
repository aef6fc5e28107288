// The placed sum: a multiply-add per eight bytes, so that the check of the second pass over the
// source costs a fraction of that pass's CRC32.
#include "Checksums.h"

#include <bit>
#include <cstring>

namespace core::recovery {

namespace {

// Every word's weight is odd (an odd base, an even step), so a word changed in its place always
// changes the sum: an odd factor is invertible modulo 2^64.
constexpr std::uint64_t kBase = 0x9E3779B97F4A7C15u;
constexpr std::uint64_t kStep = 0xD6E8FEB86659FD92u;

std::uint64_t weight(std::uint64_t word) {
    return kBase + word * kStep;
}

// A byte is its share of the little-endian word at its place, whatever the host's byte order.
std::uint64_t byteShare(std::uint8_t byte, std::uint64_t offset) {
    return (static_cast<std::uint64_t>(byte) << (8 * (offset % 8))) * weight(offset / 8);
}

} // namespace

std::uint64_t placedSum(std::uint64_t sum, std::uint64_t offset, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (; size > 0 && offset % 8 != 0; --size, ++p, ++offset) {
        sum += byteShare(*p, offset);
    }
    std::uint64_t w = weight(offset / 8);
    for (; size >= 8; size -= 8, p += 8, offset += 8, w += kStep) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, sizeof word);
        if constexpr (std::endian::native == std::endian::big) {
            word = __builtin_bswap64(word);
        }
        sum += word * w;
    }
    for (; size > 0; --size, ++p, ++offset) {
        sum += byteShare(*p, offset);
    }
    return sum;
}

} // namespace core::recovery
