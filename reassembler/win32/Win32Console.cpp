// Reading and writing a console window, a pipe or a file.
#include "Win32Console.h"

#include "ReassemblerText.h"
#include "lowio/Io.h"

#include <windows.h>

namespace quil::win32 {

namespace {

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

// Ctrl-Z at the start of a line is how a Windows console says "end of input".
constexpr wchar_t kEndOfInput = L'\x1a';

} // namespace

void writeTo(void* handle, std::string_view text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) {
        return;
    }
    if (isConsole(handle)) {
        const std::wstring wide = widen(text);
        std::size_t done = 0;
        while (done < wide.size()) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(wide.size() - done > 8192 ? 8192 : wide.size() - done);
            if (!::WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr) || written == 0) {
                return;
            }
            done += written;
        }
        return;
    }
    std::string bytes;
    bytes.reserve(text.size() + 16);
    for (const char c : text) {
        if (c == '\n') {
            bytes += '\r';
        }
        bytes += c;
    }
    // A reader that went away is no reason to stop restoring the file.
    std::size_t written = 0;
    lowio::writeAll(handle, bytes.data(), bytes.size(), written);
}

void Win32Console::write(std::string_view text) {
    writeTo(out_, text);
}

void Win32Console::writeError(std::string_view text) {
    writeTo(err_, text);
}

std::optional<std::string> Win32Console::readLine() {
    return isConsole(in_) ? readConsoleLine() : readByteLine();
}

std::optional<std::string> Win32Console::readConsoleLine() {
    // The console echoes what is typed, the line end included.
    for (;;) {
        if (const std::size_t end = pending_.find(L'\n'); end != std::wstring::npos) {
            std::wstring line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            if (!line.empty() && line.back() == L'\r') {
                line.pop_back();
            }
            if (!line.empty() && line.front() == kEndOfInput) {
                return std::nullopt;
            }
            return narrow(line);
        }
        wchar_t buffer[512];
        DWORD got = 0;
        if (!::ReadConsoleW(in_, buffer, static_cast<DWORD>(sizeof buffer / sizeof buffer[0]), &got, nullptr) ||
            got == 0) {
            write("\n");
            if (pending_.empty() || pending_.front() == kEndOfInput) {
                pending_.clear();
                return std::nullopt;
            }
            std::string line = narrow(pending_);
            pending_.clear();
            return line;
        }
        pending_.append(buffer, got);
    }
}

std::optional<std::string> Win32Console::readByteLine() {
    // One byte at a time, so that nothing past this line is taken from a pipe that another
    // process (the program's relocated copy) reads on from.
    std::string line;
    for (;;) {
        char c = 0;
        std::size_t got = 0;
        if (lowio::readSome(in_, &c, 1, got) != 0 || got == 0) {
            write("\n");
            if (line.empty()) {
                return std::nullopt;
            }
            return utf8FromUtf8OrAnsi(line);
        }
        if (c == '\n') {
            // Not echoed: the next text would otherwise continue on the question's line.
            write("\n");
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return utf8FromUtf8OrAnsi(line);
        }
        line += c;
    }
}

} // namespace quil::win32
