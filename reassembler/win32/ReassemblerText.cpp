// The reassembler's text at the Win32 boundary.
#include "ReassemblerText.h"

#include <windows.h>

#include <cstdint>

namespace quil::win32 {

std::string utf8FromUtf8OrAnsi(std::string_view bytes) {
    if (lowio::win32::isUtf8(bytes)) {
        return std::string(bytes);
    }
    return narrow(lowio::win32::widenAnsi(bytes));
}

std::wstring longPath(std::string_view utf8) {
    std::wstring path;
    if (lowio::win32::longPath(utf8, path) != 0) {
        return widen(utf8);
    }
    return path;
}

std::string uniqueSuffix(unsigned attempt) {
    // The tick is only a seed and may wrap; digits by hand, because snprintf would link mingw's
    // whole printf into QUIL.SYS.
    std::uint32_t mix = (::GetTickCount() * 2654435761u + ::GetCurrentProcessId() * 40503u + attempt) & 0xFFFFFFu;
    std::string digits(6, '0');
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit, mix >>= 4) {
        *digit = "0123456789abcdef"[mix & 0xFu];
    }
    return digits;
}

} // namespace quil::win32
