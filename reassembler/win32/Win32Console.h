// The console on Windows. A console window gets UTF-16 through WriteConsoleW and gives
// answers through ReadConsoleW, so that umlauts look right whatever its code page; a pipe or
// file gets and gives UTF-8 bytes, with CR LF line ends as Windows programs write them.
#pragma once

#include "reassembler/Terminal.h"

#include <string>

namespace quil::win32 {

// Writes text to a standard handle in the way that handle needs. Safe to call from the
// console's interrupt handler.
void writeTo(void* handle, std::string_view text);

class Win32Console : public Console {
public:
    // The handles stay owned by the caller (normally the process's standard handles).
    Win32Console(void* in, void* out, void* err) : in_(in), out_(out), err_(err) {}

    void write(std::string_view text) override;
    void writeError(std::string_view text) override;
    std::optional<std::string> readLine() override;

private:
    std::optional<std::string> readConsoleLine();
    std::optional<std::string> readByteLine();

    void* in_;
    void* out_;
    void* err_;
    // What a console read gave beyond the first line end (several lines pasted at once).
    std::wstring pending_;
};

} // namespace quil::win32
