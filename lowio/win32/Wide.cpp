// Conversions between the program's UTF-8 and the UTF-16 of the Windows API.
#include "Wide.h"

#include <windows.h>

#include <limits>

namespace lowio::win32 {

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";

// The conversion functions count in int; a text past that is cut, which nothing the program
// handles comes near.
int lengthOf(std::size_t size) {
    return static_cast<int>(std::min<std::size_t>(size, std::numeric_limits<int>::max()));
}

// False when the bytes cannot be converted (with MB_ERR_INVALID_CHARS: invalid in the code page).
bool toWide(std::string_view bytes, UINT codePage, DWORD flags, std::wstring& wide) {
    wide.clear();
    if (bytes.empty()) {
        return true;
    }
    const int size = lengthOf(bytes.size());
    const int needed = ::MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    wide.assign(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), needed);
    return true;
}

bool startsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

std::wstring widen(std::string_view utf8) {
    std::wstring wide;
    toWide(utf8, CP_UTF8, 0, wide);
    return wide;
}

bool isUtf8(std::string_view bytes) {
    std::wstring wide;
    return toWide(bytes, CP_UTF8, MB_ERR_INVALID_CHARS, wide);
}

std::wstring widenAnsi(std::string_view bytes) {
    std::wstring wide;
    toWide(bytes, CP_ACP, 0, wide);
    return wide;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int size = lengthOf(utf16.size());
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, text.data(), needed, nullptr, nullptr);
    return text;
}

bool isDevicePath(std::wstring_view path) {
    return startsWith(path, kDevicePrefix);
}

std::wstring withLongPathPrefix(std::wstring_view fullPath) {
    if (startsWith(fullPath, kLongPrefix) || isDevicePath(fullPath)) {
        return std::wstring(fullPath);
    }
    if (startsWith(fullPath, L"\\\\")) {
        return std::wstring(kLongUncPrefix) + std::wstring(fullPath.substr(2));
    }
    return std::wstring(kLongPrefix) + std::wstring(fullPath);
}

std::wstring withoutLongPathPrefix(std::wstring_view path) {
    if (startsWith(path, kLongUncPrefix)) {
        return L"\\\\" + std::wstring(path.substr(kLongUncPrefix.size()));
    }
    if (startsWith(path, kLongPrefix)) {
        return std::wstring(path.substr(kLongPrefix.size()));
    }
    return std::wstring(path);
}

SystemError longPath(std::string_view utf8, std::wstring& path) {
    std::wstring wide;
    if (!toWide(utf8, CP_UTF8, MB_ERR_INVALID_CHARS, wide)) {
        return ERROR_NO_UNICODE_TRANSLATION;
    }
    if (wide.empty() || startsWith(wide, kLongPrefix) || isDevicePath(wide)) {
        path = std::move(wide);
        return 0;
    }
    // GetFullPathNameW is not bound to MAX_PATH; it tells the size it needs when the buffer is
    // too small (the working folder may change in between, hence the loop).
    std::wstring full(wide.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return static_cast<SystemError>(::GetLastError());
        }
        const bool fitted = length < full.size();
        full.resize(length);
        if (fitted) {
            break;
        }
    }
    path = withLongPathPrefix(full);
    return 0;
}

std::wstring ownModuleFile() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        // A full buffer means the name was cut; try again with more room.
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace lowio::win32
