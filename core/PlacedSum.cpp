// The placed sum: a multiply-add per four bytes, so that the check of the second pass over the
// source costs a fraction of that pass's CRC32.
//
// The sum runs over 32-bit units u_i (little-endian, whatever the host) as the sum of u_i * w^i * c
// modulo 2^64, c odd and w = 1 modulo 4. Every weight is odd, so a changed unit always changes the
// sum. Two units d apart that change by the same amount never cancel (1 + w^d is 2 modulo 4); by
// opposite amounts only if d is a multiple of 2^31 (8 GiB), since w^d - 1 holds the factor 2 just
// 2 + (that of d) times. With 64-bit units a flip of the top bit would count 2^63 whatever the
// weight, and any two such flips would cancel: two numbers whose sign changed would pass.
#include "Checksums.h"

namespace core::recovery {

namespace {

constexpr std::uint64_t kFirst = 0x9E3779B97F4A7C15u; // c: odd
constexpr std::uint64_t kRatio = 0xD6E8FEB86659FD95u; // w: 1 modulo 4

std::uint64_t weight(std::uint64_t unit) {
    std::uint64_t result = kFirst;
    for (std::uint64_t base = kRatio; unit != 0; unit >>= 1, base *= base) {
        if ((unit & 1u) != 0) {
            result *= base;
        }
    }
    return result;
}

std::uint64_t load32(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(p[0]) | static_cast<std::uint64_t>(p[1]) << 8 |
           static_cast<std::uint64_t>(p[2]) << 16 | static_cast<std::uint64_t>(p[3]) << 24;
}

// A byte alone is its share of the unit at its place.
std::uint64_t byteShare(std::uint8_t byte, std::uint64_t offset) {
    return (static_cast<std::uint64_t>(byte) << (8 * (offset % 4))) * weight(offset / 4);
}

} // namespace

std::uint64_t placedSum(std::uint64_t sum, std::uint64_t offset, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (; size > 0 && offset % 4 != 0; --size, ++p, ++offset) {
        sum += byteShare(*p, offset);
    }
    // Two chains of weights, so that each multiplication waits for none of the last one.
    std::uint64_t even = weight(offset / 4);
    std::uint64_t odd = even * kRatio;
    constexpr std::uint64_t kStep = kRatio * kRatio;
    for (; size >= 8; size -= 8, p += 8, offset += 8) {
        sum += load32(p) * even + load32(p + 4) * odd;
        even *= kStep;
        odd *= kStep;
    }
    for (; size > 0; --size, ++p, ++offset) {
        sum += byteShare(*p, offset);
    }
    return sum;
}

} // namespace core::recovery
