// The ANSI code page of this PC, the one its readers of a set take the trailer in.
#include "runtime/AnsiCodePage.h"

#include "Win32LongPath.h"

#include <windows.h>

namespace rt {

std::optional<std::string> toAnsiCodePage(const std::string& utf8) {
    // A PC whose ANSI code page is UTF-8 (an option of Windows 10) has no single-byte one, and
    // the conversion flags below are refused for it.
    if (::GetACP() == CP_UTF8 || !lowio::win32::isUtf8(utf8)) {
        return std::nullopt;
    }
    if (utf8.empty()) {
        return std::string();
    }
    const std::wstring wide = win32::widen(utf8);
    const int wideLength = static_cast<int>(wide.size());
    // No best fit: "Ł" must not quietly become "L", nor anything else a "?".
    BOOL usedDefault = FALSE;
    const int length =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, bytes.data(), length, nullptr,
                              &usedDefault) != length ||
        usedDefault) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace rt
