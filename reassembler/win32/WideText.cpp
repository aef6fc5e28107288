// Conversions between UTF-8, UTF-16 and the ANSI code page.
#include "WideText.h"

#include <windows.h>

namespace quil::win32 {

namespace {

std::wstring toWide(std::string_view bytes, UINT codePage, DWORD flags) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), length);
    return wide;
}

} // namespace

std::wstring widen(std::string_view utf8) {
    return toWide(utf8, CP_UTF8, 0);
}

std::string narrow(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

std::string utf8FromUtf8OrAnsi(std::string_view bytes) {
    if (bytes.empty() || !toWide(bytes, CP_UTF8, MB_ERR_INVALID_CHARS).empty()) {
        return std::string(bytes);
    }
    return narrow(toWide(bytes, CP_ACP, 0));
}

std::wstring longPath(std::string_view utf8) {
    std::wstring path = widen(utf8);
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (path.rfind(L"\\\\?\\", 0) == 0) {
        return path;
    }
    const bool driveAbsolute = path.size() >= 3 && path[1] == L':' && separator(path[2]) &&
                               ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    const bool unc = path.size() >= 3 && separator(path[0]) && separator(path[1]) && !separator(path[2]);
    if (!driveAbsolute && !unc) {
        return path;
    }
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return driveAbsolute ? L"\\\\?\\" + path : L"\\\\?\\UNC\\" + path.substr(2);
}

} // namespace quil::win32
