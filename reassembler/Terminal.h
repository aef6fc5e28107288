// The questions the reassembler asks on the terminal, and how it reads the answers. End of
// input (no terminal, or Ctrl-D / Ctrl-Z) always counts as the answer that changes nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quil {

// What the user wants when the next part is missing.
struct DiskAnswer {
    // Lost: the disk is gone for good; only asked where the set has recovery data.
    enum class Kind { Retry, Folder, Abort, Lost };
    Kind kind = Kind::Abort;
    std::string folder; // for Folder, as typed (quotes and surrounding blanks removed)
};

// What the user says to the folder the file would be restored to.
struct FolderAnswer {
    enum class Kind { Yes, No, Folder };
    Kind kind = Kind::No;
    std::string folder; // for Folder, as typed
};

// Whether the question for a disk offers "v" for a disk that is lost: only in a set with
// recovery data, which rebuilds one part; a second lost one is said to end the restore.
enum class LostOffer { None, Rebuild, NoMore };

// "j"/"ja": yes. "n"/"nein", "q", an empty line or end of input: no. Anything else: a folder.
FolderAnswer interpretFolderAnswer(const std::optional<std::string>& line);

// An empty line: the disk was changed, look again. "q": abort. Anything else: a folder.
// Nothing (end of input): abort. Where lostOffered, "v" says the disk is lost; elsewhere it is
// a folder as it always was.
DiskAnswer interpretDiskAnswer(const std::optional<std::string>& line, bool lostOffered = false);

// "j" or "ja" in any case; everything else, end of input included, is no.
bool interpretYes(const std::optional<std::string>& line);

// A line with the line end, surrounding blanks and one pair of surrounding quotes removed
// (a folder dragged into a terminal arrives quoted).
std::string cleanAnswer(const std::string& line);

// Where the text meets the user: each host writes and reads its own way (a terminal on
// POSIX, a console window or a pipe on Windows). Text is UTF-8 on this side.
class Console {
public:
    virtual ~Console() = default;
    // Text for the user; it may wait in a buffer until the next read or complaint.
    virtual void write(std::string_view text) = 0;
    // Text about what went wrong, shown after everything written before it.
    virtual void writeError(std::string_view text) = 0;
    // Shows what was written, then reads one line without its line end; nothing at end of
    // input. The line the user typed ends the question's line on the screen either way.
    virtual std::optional<std::string> readLine() = 0;
};

class Terminal {
public:
    explicit Terminal(Console& console) : console_(console) {}

    void say(const std::string& text);
    void complain(const std::string& text);
    // One line without its line end, or nothing at end of input.
    std::optional<std::string> readLine();

    bool askYesNo(const std::string& question);
    // The disk with fileName; with recoveryDisk, the Ersatzdiskette of that number, which holds it.
    DiskAnswer askForDisk(const std::string& fileName, LostOffer lost = LostOffer::None, int recoveryDisk = 0);
    FolderAnswer askWhereTo(const std::string& folder);
    // Another name for a file that cannot have the one it came with; nothing for an empty line
    // or end of input.
    std::optional<std::string> askForName(const std::string& name, const std::string& problem);

private:
    Console& console_;
};

} // namespace quil
