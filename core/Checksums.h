// The two checksums of the recovery data: MD5, by which a part, the whole file and every packet
// are known, and CRC32, which PAR2 readers use to find a slice quickly.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace core::recovery {

using Digest = std::array<std::uint8_t, 16>;

// MD5 over bytes given in pieces (the checksum PAR2 records). A copy goes on independently, so
// one pass can finish a prefix's digest and carry on with more bytes.
class Md5 {
public:
    Md5();
    void update(const void* data, std::size_t size);
    Digest finish(); // the digest; the object is then spent
private:
    std::array<std::uint32_t, 4> state_;
    std::uint64_t length_ = 0;
    std::array<std::uint8_t, 64> block_{};
};

// The MD5 of bytes given at once.
Digest md5Of(const void* data, std::size_t size);

// CRC32 as Ethernet, zip and PAR2 take it (polynomial EDB88320, reflected, inverted before and
// after): crc32(crc32(0, a), b) is the checksum of a followed by b.
std::uint32_t crc32(std::uint32_t crc, const void* data, std::size_t size);

// A sum of bytes, each weighted by its place in the file: pieces added in any order and cut
// anywhere give the same sum as the whole, and a byte changed anywhere changes it. Only the
// copy run takes it, to see that its passes over the source read the same bytes; it is made to
// catch changes, not forgeries, and never leaves the run.
std::uint64_t placedSum(std::uint64_t sum, std::uint64_t offset, const void* data, std::size_t size);

} // namespace core::recovery
