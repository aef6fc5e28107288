// Conversions between the program's UTF-8 and the UTF-16 of the Windows API.
#include "Wide.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <vector>

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

std::wstring withBackslashes(std::wstring_view path) {
    std::wstring text(path);
    std::replace(text.begin(), text.end(), L'/', L'\\');
    return text;
}

// GetFullPathNameW is not bound to MAX_PATH; it tells the size it needs when the buffer is too
// small (the working folder may change in between, hence the loop). It also drops a trailing
// dot or blank of a name ("twin.bin " becomes "twin.bin", "Ordner.\a" becomes "Ordner\a"),
// which is why fullPath asks it only for the root and the working folder.
SystemError systemFullPath(const std::wstring& path, std::wstring& full) {
    full.assign(path.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return static_cast<SystemError>(::GetLastError());
        }
        const bool fitted = length < full.size();
        full.resize(length);
        if (fitted) {
            return 0;
        }
    }
}

// How much of a path with backslashes is its root: "C:\", "C:" (the drive's working folder),
// "\" (the working drive's root), "\\server\share\", or nothing for a path relative to the
// working folder.
std::size_t rootOfText(std::wstring_view text) {
    if (startsWith(text, L"\\\\")) {
        std::size_t end = 2;
        for (int names = 0; names < 2 && end < text.size(); ++names) {
            const std::size_t separator = text.find(L'\\', end);
            end = separator == std::wstring_view::npos ? text.size() : separator + 1;
        }
        return end;
    }
    if (text.size() >= 2 && text[1] == L':') {
        return text.size() >= 3 && text[2] == L'\\' ? 3 : 2;
    }
    return startsWith(text, L"\\") ? 1 : 0;
}

// The root of a path the system made full: "C:\" or "\\server\share\", which ".." never leaves.
std::size_t rootOfFullPath(std::wstring_view full) {
    return startsWith(full, L"\\\\") ? rootOfText(full) : std::min<std::size_t>(3, full.size());
}

// The names between the separators; a run of separators is one.
std::vector<std::wstring> namesIn(std::wstring_view text) {
    std::vector<std::wstring> names;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'\\', start);
        if (end == std::wstring_view::npos) {
            end = text.size();
        }
        if (end > start) {
            names.emplace_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
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

SystemError fullPath(std::wstring_view path, std::wstring& full) {
    if (startsWith(path, kLongPrefix) || isDevicePath(path)) {
        full = std::wstring(path); // already the form Windows takes as it stands
        return 0;
    }
    const std::wstring text = withBackslashes(path);
    std::wstring system;
    if (const SystemError error = systemFullPath(text, system); error != 0) {
        return error;
    }
    if (isDevicePath(system)) {
        full = std::move(system); // "C:\Daten\CON" opens the console, whatever the folder
        return 0;
    }
    // The system resolves only the part of the text it cannot get wrong: the root, the
    // working folder of a drive, or the working folder itself. The names that follow are
    // taken exactly.
    const std::size_t ownRoot = rootOfText(text);
    std::wstring base;
    if (const SystemError error = systemFullPath(ownRoot == 0 ? std::wstring(L".") : text.substr(0, ownRoot), base);
        error != 0) {
        return error;
    }
    const std::size_t baseRoot = rootOfFullPath(base);
    std::vector<std::wstring> names = namesIn(std::wstring_view(base).substr(baseRoot));
    for (std::wstring& name : namesIn(std::wstring_view(text).substr(ownRoot))) {
        if (name == L"..") {
            if (!names.empty()) {
                names.pop_back(); // as the system does, ".." of a root is the root
            }
        } else if (name != L".") {
            names.push_back(std::move(name));
        }
    }
    full = base.substr(0, baseRoot);
    for (const std::wstring& name : names) {
        if (!full.empty() && full.back() != L'\\') {
            full += L'\\';
        }
        full += name;
    }
    // "C:\Daten\" stays a folder text, as the system gives it.
    if (!names.empty() && !text.empty() && text.back() == L'\\' && full.back() != L'\\') {
        full += L'\\';
    }
    return 0;
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
    std::wstring full;
    if (const SystemError error = fullPath(wide, full); error != 0) {
        return error;
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
