// The packets of the recovery stream as both of its sides lay them out: the writer in the copy
// run, the reader in QUIL.EXE. Every number is little-endian; every packet is a 64-byte header
// and a body whose length is a multiple of 4.
#pragma once

#include "Checksums.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace core::recovery::packet {

// Header: magic (8), packet length with the header (8), MD5 of everything from the set ID to
// the packet's end (16), recovery set ID (16), type (16).
inline constexpr std::size_t kHeaderSize = 64;
inline constexpr std::string_view kMagic{"PAR2\0PKT", 8};
inline constexpr std::string_view kRecoverySlice{"PAR 2.0\0RecvSlic", 16};
inline constexpr std::string_view kMain{"PAR 2.0\0Main\0\0\0\0", 16};
inline constexpr std::string_view kFileDescription{"PAR 2.0\0FileDesc", 16};
inline constexpr std::string_view kSliceChecksums{"PAR 2.0\0IFSC\0\0\0\0", 16};
inline constexpr std::string_view kCreator{"PAR 2.0\0Creator\0", 16};
// This program's own packet: the restored file and the parts in their order. PAR2 readers pass
// over a type they do not know; its first 8 bytes name the program, as PAR2 asks of its own.
inline constexpr std::string_view kSet{"Splitw99Datei2\0\0", 16};
// The same packet as sets wrote it before the whole file's checksum was wholeFileSum: its file
// MD5 is the MD5 of the file's bytes. Read, never written.
inline constexpr std::string_view kSetOfBytes{"Splitw99Datei\0\0\0", 16};
// The program's packet that ties the stream to its set: the tie's kTieLength ASCII digits.
inline constexpr std::string_view kTiePacket{"Splitw99Satz\0\0\0\0", 16};
// The own packet's body: file length (8), the whole file's checksum (16), part count (4), then
// per part its file ID (16), MD5 (16) and length (8), then the file's name in UTF-8.
inline constexpr std::size_t kSetFixedSize = 28;
inline constexpr std::size_t kSetEntrySize = 40;
// The recovery slice packet's header and its exponent: where the parity's bytes begin.
inline constexpr std::size_t kParityOffset = kHeaderSize + 4;
// The first bytes of a part that its PAR2 file ID takes in.
inline constexpr std::int64_t kFirstBytes = 16 * 1024;
// Read in pieces of at most this size: small enough that the XOR and both checksums find the
// piece still in the processor's cache.
inline constexpr std::size_t kChunk = 256 * 1024;

inline std::uint64_t getLE(const char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

inline void putLE(std::string& out, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFFu);
    }
}

// Names and texts are padded with NUL bytes to a multiple of 4 (a name of 8 bytes gets none).
inline std::uint64_t padded(std::uint64_t size) {
    return (size + 3) / 4 * 4;
}

// Eight bytes a step: a byte loop takes as long as the MD5 of the same bytes.
inline void xorInto(char* target, const char* source, std::size_t size) {
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t a, b;
        std::memcpy(&a, target + i, 8);
        std::memcpy(&b, source + i, 8);
        a ^= b;
        std::memcpy(target + i, &a, 8);
    }
    for (; i < size; ++i) {
        target[i] = static_cast<char>(target[i] ^ source[i]);
    }
}

} // namespace core::recovery::packet
