// The console of a POSIX terminal: three stdio streams. Output is flushed at once, so that a
// question is visible before the program waits, also when stdout is a pipe.
#pragma once

#include "reassembler/Terminal.h"

#include <cstdio>

namespace quil {

class StdioConsole : public Console {
public:
    StdioConsole(std::FILE* in, std::FILE* out, std::FILE* err) : in_(in), out_(out), err_(err) {}

    void write(std::string_view text) override;
    void writeError(std::string_view text) override;
    std::optional<std::string> readLine() override;

private:
    std::FILE* in_;
    std::FILE* out_;
    std::FILE* err_;
};

} // namespace quil
