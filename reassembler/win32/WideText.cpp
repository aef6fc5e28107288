// The reassembler's text at the Win32 boundary.
#include "WideText.h"

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

} // namespace quil::win32
