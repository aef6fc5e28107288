// Reading and writing the terminal through stdio.
#include "StdioConsole.h"

#include <unistd.h>

#include <cerrno>

namespace quil {

void StdioConsole::write(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fflush(out_);
}

void StdioConsole::writeError(std::string_view text) {
    std::fflush(out_);
    std::fwrite(text.data(), 1, text.size(), err_);
    std::fflush(err_);
}

std::optional<std::string> StdioConsole::readLine() {
    std::fflush(out_);
    // A terminal echoes the answer and its line end, but not Ctrl-D; from a pipe the next
    // text would otherwise continue on the question's line.
    const bool echoed = ::isatty(::fileno(in_)) != 0;
    std::string line;
    for (;;) {
        const int c = std::fgetc(in_);
        if (c == EOF) {
            if (std::ferror(in_) && errno == EINTR) {
                std::clearerr(in_);
                continue;
            }
            std::fputc('\n', out_);
            if (line.empty()) {
                return std::nullopt;
            }
            return line;
        }
        if (c == '\n') {
            if (!echoed) {
                std::fputc('\n', out_);
            }
            return line;
        }
        line += static_cast<char>(c);
    }
}

} // namespace quil
