// UTF-8 to Windows-1252 by the code page's own table, without the host's locale machinery: the
// result must not depend on the locale the program happens to run in.
#include "Windows1252.h"

#include <array>
#include <cstdint>

namespace core::cp1252 {

namespace {

// The characters of the bytes 80 to 9F; 0 where the code page assigns none. A0 to FF are
// U+00A0 to U+00FF, 00 to 7F are ASCII.
constexpr std::array<char16_t, 32> kHighControls = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char> byteFor(std::uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<char>(code);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == code) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

// The next character of utf8 at `at`, which it moves past it; nothing for a malformed sequence.
std::optional<std::uint32_t> nextCharacter(std::string_view utf8, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    if (lead < 0x80) {
        return lead;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || at + length - 1 > utf8.size()) {
        return std::nullopt;
    }
    std::uint32_t code = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[at++]);
        if ((byte & 0xC0) != 0x80) {
            return std::nullopt;
        }
        code = (code << 6) | (byte & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return std::nullopt;
    }
    return code;
}

} // namespace

std::optional<std::string> fromUtf8(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::optional<std::uint32_t> code = nextCharacter(utf8, at);
        const std::optional<char> byte = code ? byteFor(*code) : std::nullopt;
        if (!byte) {
            return std::nullopt;
        }
        bytes += *byte;
    }
    return bytes;
}

std::string toUtf8(std::string_view bytes) {
    std::string text;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        const std::uint32_t code =
            c >= 0x80 && c < 0xA0 && kHighControls[c - 0x80U] != 0 ? kHighControls[c - 0x80U] : c;
        if (code < 0x80) {
            text += static_cast<char>(code);
        } else if (code < 0x800) {
            text += static_cast<char>(0xC0 | (code >> 6));
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            text += static_cast<char>(0xE0 | (code >> 12));
            text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return text;
}

} // namespace core::cp1252
