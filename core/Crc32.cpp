// A CRC32 that takes sixteen bytes a step. Only the writing side of the recovery data takes it: in a
// file of its own, so that QUIL.SYS, which links MD5 from the same library, goes without its 16 KiB
// of tables.
#include "Checksums.h"

namespace core::recovery {

namespace {

std::uint32_t load32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Sixteen tables: table[k][b] is the CRC of byte b followed by k zero bytes.
struct CrcTables {
    std::uint32_t table[16][256];
    CrcTables() {
        for (std::uint32_t b = 0; b < 256; ++b) {
            std::uint32_t crc = b;
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
            }
            table[0][b] = crc;
        }
        for (std::uint32_t b = 0; b < 256; ++b) {
            for (int k = 1; k < 16; ++k) {
                table[k][b] = (table[k - 1][b] >> 8) ^ table[0][table[k - 1][b] & 0xFFu];
            }
        }
    }
};

} // namespace

std::uint32_t crc32(std::uint32_t crc, const void* data, std::size_t size) {
    static const CrcTables tables;
    const auto& t = tables.table;
    const auto* p = static_cast<const std::uint8_t*>(data);
    crc = ~crc;
    for (; size >= 16; size -= 16, p += 16) {
        const std::uint32_t a = load32(p) ^ crc;
        const std::uint32_t b = load32(p + 4);
        const std::uint32_t c = load32(p + 8);
        const std::uint32_t d = load32(p + 12);
        crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^ t[11][b & 0xFF] ^
              t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^ t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^
              t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^ t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^
              t[0][d >> 24];
    }
    for (; size > 0; --size, ++p) {
        crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFF];
    }
    return ~crc;
}

} // namespace core::recovery
