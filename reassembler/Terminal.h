// The questions the reassembler asks on the terminal, and how it reads the answers. End of
// input (no terminal, or Ctrl-D) always counts as the answer that changes nothing.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace quil {

// What the user wants when the next part is missing.
struct DiskAnswer {
    enum class Kind { Retry, Folder, Abort };
    Kind kind = Kind::Abort;
    std::string folder; // for Folder, as typed (quotes and surrounding blanks removed)
};

// What the user says to the folder the file would be restored to.
struct FolderAnswer {
    enum class Kind { Yes, No, Folder };
    Kind kind = Kind::No;
    std::string folder; // for Folder, as typed
};

// "j"/"ja": yes. "n"/"nein", an empty line or end of input: no. Anything else: a folder.
FolderAnswer interpretFolderAnswer(const std::optional<std::string>& line);

// An empty line: the disk was changed, look again. "q": abort. Anything else: a folder.
// Nothing (end of input): abort.
DiskAnswer interpretDiskAnswer(const std::optional<std::string>& line);

// "j" or "ja" in any case; everything else, end of input included, is no.
bool interpretYes(const std::optional<std::string>& line);

// A line with the line end, surrounding blanks and one pair of surrounding quotes removed
// (a folder dragged into a terminal arrives quoted).
std::string cleanAnswer(const std::string& line);

class Terminal {
public:
    Terminal(std::FILE* in, std::FILE* out, std::FILE* err) : in_(in), out_(out), err_(err) {}

    void say(const std::string& text);
    void complain(const std::string& text);
    // One line without its line end, or nothing at end of input.
    std::optional<std::string> readLine();

    bool askYesNo(const std::string& question);
    DiskAnswer askForDisk(const std::string& partName);
    FolderAnswer askWhereTo(const std::string& folder);

private:
    std::FILE* in_;
    std::FILE* out_;
    std::FILE* err_;
};

} // namespace quil
