// MD5 after RFC 1321, fast enough that writing the recovery data costs hardly more than reading
// the source.
#include "Checksums.h"

#include <cstring>

namespace core::recovery {

namespace {

std::uint32_t load32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t rotl(std::uint32_t x, int c) {
    return (x << c) | (x >> (32 - c));
}

std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return z ^ (x & (y ^ z));
}
std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return y ^ (z & (x ^ y));
}
std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return x ^ y ^ z;
}
std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return y ^ (x | ~z);
}

// One round step, spelled out 64 times below: a loop over tables costs a third of the speed.
#define STEP(f, a, b, c, d, x, t, s) a = b + rotl(a + f(b, c, d) + x + t, s)

void transform(std::array<std::uint32_t, 4>& state, const std::uint8_t* data, std::size_t blocks) {
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; blocks > 0; --blocks, data += 64) {
        std::uint32_t x[16];
        for (int i = 0; i < 16; ++i) {
            x[i] = load32(data + 4 * i);
        }
        const std::uint32_t a0 = a, b0 = b, c0 = c, d0 = d;
        STEP(F, a, b, c, d, x[0], 0xd76aa478, 7);
        STEP(F, d, a, b, c, x[1], 0xe8c7b756, 12);
        STEP(F, c, d, a, b, x[2], 0x242070db, 17);
        STEP(F, b, c, d, a, x[3], 0xc1bdceee, 22);
        STEP(F, a, b, c, d, x[4], 0xf57c0faf, 7);
        STEP(F, d, a, b, c, x[5], 0x4787c62a, 12);
        STEP(F, c, d, a, b, x[6], 0xa8304613, 17);
        STEP(F, b, c, d, a, x[7], 0xfd469501, 22);
        STEP(F, a, b, c, d, x[8], 0x698098d8, 7);
        STEP(F, d, a, b, c, x[9], 0x8b44f7af, 12);
        STEP(F, c, d, a, b, x[10], 0xffff5bb1, 17);
        STEP(F, b, c, d, a, x[11], 0x895cd7be, 22);
        STEP(F, a, b, c, d, x[12], 0x6b901122, 7);
        STEP(F, d, a, b, c, x[13], 0xfd987193, 12);
        STEP(F, c, d, a, b, x[14], 0xa679438e, 17);
        STEP(F, b, c, d, a, x[15], 0x49b40821, 22);
        STEP(G, a, b, c, d, x[1], 0xf61e2562, 5);
        STEP(G, d, a, b, c, x[6], 0xc040b340, 9);
        STEP(G, c, d, a, b, x[11], 0x265e5a51, 14);
        STEP(G, b, c, d, a, x[0], 0xe9b6c7aa, 20);
        STEP(G, a, b, c, d, x[5], 0xd62f105d, 5);
        STEP(G, d, a, b, c, x[10], 0x02441453, 9);
        STEP(G, c, d, a, b, x[15], 0xd8a1e681, 14);
        STEP(G, b, c, d, a, x[4], 0xe7d3fbc8, 20);
        STEP(G, a, b, c, d, x[9], 0x21e1cde6, 5);
        STEP(G, d, a, b, c, x[14], 0xc33707d6, 9);
        STEP(G, c, d, a, b, x[3], 0xf4d50d87, 14);
        STEP(G, b, c, d, a, x[8], 0x455a14ed, 20);
        STEP(G, a, b, c, d, x[13], 0xa9e3e905, 5);
        STEP(G, d, a, b, c, x[2], 0xfcefa3f8, 9);
        STEP(G, c, d, a, b, x[7], 0x676f02d9, 14);
        STEP(G, b, c, d, a, x[12], 0x8d2a4c8a, 20);
        STEP(H, a, b, c, d, x[5], 0xfffa3942, 4);
        STEP(H, d, a, b, c, x[8], 0x8771f681, 11);
        STEP(H, c, d, a, b, x[11], 0x6d9d6122, 16);
        STEP(H, b, c, d, a, x[14], 0xfde5380c, 23);
        STEP(H, a, b, c, d, x[1], 0xa4beea44, 4);
        STEP(H, d, a, b, c, x[4], 0x4bdecfa9, 11);
        STEP(H, c, d, a, b, x[7], 0xf6bb4b60, 16);
        STEP(H, b, c, d, a, x[10], 0xbebfbc70, 23);
        STEP(H, a, b, c, d, x[13], 0x289b7ec6, 4);
        STEP(H, d, a, b, c, x[0], 0xeaa127fa, 11);
        STEP(H, c, d, a, b, x[3], 0xd4ef3085, 16);
        STEP(H, b, c, d, a, x[6], 0x04881d05, 23);
        STEP(H, a, b, c, d, x[9], 0xd9d4d039, 4);
        STEP(H, d, a, b, c, x[12], 0xe6db99e5, 11);
        STEP(H, c, d, a, b, x[15], 0x1fa27cf8, 16);
        STEP(H, b, c, d, a, x[2], 0xc4ac5665, 23);
        STEP(I, a, b, c, d, x[0], 0xf4292244, 6);
        STEP(I, d, a, b, c, x[7], 0x432aff97, 10);
        STEP(I, c, d, a, b, x[14], 0xab9423a7, 15);
        STEP(I, b, c, d, a, x[5], 0xfc93a039, 21);
        STEP(I, a, b, c, d, x[12], 0x655b59c3, 6);
        STEP(I, d, a, b, c, x[3], 0x8f0ccc92, 10);
        STEP(I, c, d, a, b, x[10], 0xffeff47d, 15);
        STEP(I, b, c, d, a, x[1], 0x85845dd1, 21);
        STEP(I, a, b, c, d, x[8], 0x6fa87e4f, 6);
        STEP(I, d, a, b, c, x[15], 0xfe2ce6e0, 10);
        STEP(I, c, d, a, b, x[6], 0xa3014314, 15);
        STEP(I, b, c, d, a, x[13], 0x4e0811a1, 21);
        STEP(I, a, b, c, d, x[4], 0xf7537e82, 6);
        STEP(I, d, a, b, c, x[11], 0xbd3af235, 10);
        STEP(I, c, d, a, b, x[2], 0x2ad7d2bb, 15);
        STEP(I, b, c, d, a, x[9], 0xeb86d391, 21);
        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    state = {a, b, c, d};
}

#undef STEP

} // namespace

Md5::Md5() : state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void Md5::update(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t held = static_cast<std::size_t>(length_ % 64);
    length_ += size;
    if (held != 0) {
        const std::size_t taken = size < 64 - held ? size : 64 - held;
        std::memcpy(block_.data() + held, bytes, taken);
        bytes += taken;
        size -= taken;
        if (held + taken < 64) {
            return;
        }
        transform(state_, block_.data(), 1);
    }
    transform(state_, bytes, size / 64);
    std::memcpy(block_.data(), bytes + size / 64 * 64, size % 64);
}

Digest Md5::finish() {
    const std::uint64_t bits = length_ * 8;
    std::uint8_t tail[72] = {0x80};
    const std::size_t held = static_cast<std::size_t>(length_ % 64);
    const std::size_t padding = held < 56 ? 56 - held : 120 - held;
    for (int i = 0; i < 8; ++i) {
        tail[padding + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    update(tail, padding + 8);
    Digest digest;
    for (std::size_t i = 0; i < 16; ++i) {
        digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (8 * (i % 4)));
    }
    return digest;
}

Digest md5Of(const void* data, std::size_t size) {
    Md5 md5;
    md5.update(data, size);
    return md5.finish();
}

} // namespace core::recovery
