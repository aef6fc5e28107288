// Terminal questions. Output is flushed before every read so that a question is visible
// before the program waits, also when stdout is a pipe.
#include "Terminal.h"

#include <unistd.h>

#include <cerrno>

namespace quil {

std::string cleanAnswer(const std::string& line) {
    const char* blanks = " \t\r\n";
    const std::size_t first = line.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    std::string text = line.substr(first, line.find_last_not_of(blanks) - first + 1);
    if (text.size() >= 2 && (text.front() == '\'' || text.front() == '"') && text.back() == text.front()) {
        text = text.substr(1, text.size() - 2);
    }
    return text;
}

DiskAnswer interpretDiskAnswer(const std::optional<std::string>& line) {
    if (!line) {
        return {DiskAnswer::Kind::Abort, {}};
    }
    const std::string text = cleanAnswer(*line);
    if (text.empty()) {
        return {DiskAnswer::Kind::Retry, {}};
    }
    if (text == "q" || text == "Q") {
        return {DiskAnswer::Kind::Abort, {}};
    }
    return {DiskAnswer::Kind::Folder, text};
}

FolderAnswer interpretFolderAnswer(const std::optional<std::string>& line) {
    if (!line) {
        return {FolderAnswer::Kind::No, {}};
    }
    const std::string text = cleanAnswer(*line);
    if (interpretYes(text)) {
        return {FolderAnswer::Kind::Yes, {}};
    }
    if (text.empty() || text == "n" || text == "N" || text == "nein" || text == "Nein" || text == "NEIN") {
        return {FolderAnswer::Kind::No, {}};
    }
    return {FolderAnswer::Kind::Folder, text};
}

bool interpretYes(const std::optional<std::string>& line) {
    if (!line) {
        return false;
    }
    const std::string text = cleanAnswer(*line);
    return text == "j" || text == "J" || text == "ja" || text == "Ja" || text == "JA";
}

void Terminal::say(const std::string& text) {
    std::fputs(text.c_str(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
}

void Terminal::complain(const std::string& text) {
    std::fflush(out_);
    std::fputs(text.c_str(), err_);
    std::fputc('\n', err_);
    std::fflush(err_);
}

std::optional<std::string> Terminal::readLine() {
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

bool Terminal::askYesNo(const std::string& question) {
    std::fputs((question + " ").c_str(), out_);
    return interpretYes(readLine());
}

FolderAnswer Terminal::askWhereTo(const std::string& folder) {
    std::fputs(("Die Datei stammt aus dem Ordner " + folder + ".\n").c_str(), out_);
    std::fputs("Dorthin wiederherstellen? (j = ja, n = nein, oder geben Sie einen anderen Ordner ein; . ist der "
               "aktuelle Ordner): ",
               out_);
    return interpretFolderAnswer(readLine());
}

DiskAnswer Terminal::askForDisk(const std::string& partName) {
    std::fputs(("Bitte legen Sie die Diskette mit " + partName + " ein und drücken Sie die Eingabetaste.\n").c_str(),
               out_);
    std::fputs(("Liegt " + partName + " in einem anderen Ordner, geben Sie diesen Ordner ein; q bricht ab: ").c_str(),
               out_);
    return interpretDiskAnswer(readLine());
}

} // namespace quil
