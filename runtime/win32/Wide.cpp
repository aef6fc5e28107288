// Conversions between the program's UTF-8 and the UTF-16 of the Windows API.
#include "Wide.h"

#include "Win32Errors.h"
#include "runtime/RuntimeError.h"

#include <windows.h>

#include <limits>

namespace rt::win32 {

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";

int checkedLength(std::size_t size) {
    // The conversion functions count in int; nothing the program handles comes near that.
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        raise(kOverflow);
    }
    return static_cast<int>(size);
}

std::wstring widenWith(std::string_view utf8, DWORD flags) {
    if (utf8.empty()) {
        return {};
    }
    const int length = checkedLength(utf8.size());
    const int needed = ::MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, nullptr, 0);
    if (needed <= 0) {
        raiseWin32(::GetLastError());
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, wide.data(), needed);
    return wide;
}

bool startsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

std::wstring widen(std::string_view utf8) {
    return widenWith(utf8, 0);
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int length = checkedLength(utf16.size());
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        raiseWin32(::GetLastError());
    }
    std::string text(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, text.data(), needed, nullptr, nullptr);
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

std::wstring longPath(const std::string& path) {
    std::wstring wide;
    try {
        wide = widenWith(path, MB_ERR_INVALID_CHARS);
    } catch (const RuntimeError&) {
        raise(kPathNotFound); // a name no Windows file can have
    }
    if (wide.empty() || startsWith(wide, kLongPrefix) || isDevicePath(wide)) {
        return wide;
    }
    // GetFullPathNameW is not bound to MAX_PATH; it tells the size it needs when the buffer is
    // too small (the working folder may change in between, hence the loop).
    std::wstring full(wide.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            raiseWin32(::GetLastError());
        }
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length);
    }
    return withLongPathPrefix(full);
}

} // namespace rt::win32
