// The disk set: the only contract between the program and its reassembler. The names of its
// files, the rule that numbers the parts, the trailer appended to the reassembler and the bytes
// of autorun.inf, for the copy run that writes them and for QUIL.EXE that reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core::diskset {

// The reassembler as it is shipped in the program's folder, and as it lands on the first disk.
inline constexpr const char* kShippedReassembler = "QUIL.SYS";
inline constexpr const char* kReassembler = "QUIL.EXE";
inline constexpr const char* kAutorun = "autorun.inf";

// Every line of the trailer and of autorun.inf ends so.
inline constexpr std::string_view kLineEnd = "\r\n";

// "QUILME" + the last two digits of the part number + ".sys"; parts count from 1, so the 100th
// part is QUILME00.sys and the 101st QUILME01.sys again.
std::string partName(long number);
// A part's name in any letter case (a FAT medium may show "quilme01.sys").
bool isPartName(std::string_view name);
// One of the set's names in any letter case: the reassembler, autorun.inf or a part.
bool isSetName(std::string_view name);

// The four lines appended to the reassembler, in this order.
struct Trailer {
    std::int64_t length = 0; // of the source, in bytes
    std::string folder;      // drive-letter form with its trailing backslash; may be empty
    std::string longName;    // the name as stored; empty for a hidden or system file
    std::string givenName;   // the name as given on the command line
    // The set has recovery data: its marker line (core::recovery::markerLine) stands right before
    // line 1, with the set's tie, or without one in a set written before the tie.
    bool withRecovery = false;
    std::string recoveryTie = {};
};
// The mark of a set whose name lines (2 to 4) are UTF-8: line 2 begins with the bytes EF BB BF
// (U+FEFF, the UTF-8 byte order mark), directly after the line end of line 1, also when line 2
// names no folder. The mark belongs to the whole trailer and is not part of the folder. A set
// without it has its names in the ANSI code page of the Windows machine that wrote it, as every
// set of the original program does. A writer whose names are UTF-8 sets the mark only when a
// name holds more than ASCII, so that an ASCII trailer stays byte for byte what it always was.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// Whether the name lines hold anything beyond ASCII.
bool namesBeyondAscii(const Trailer& trailer);
// Whether a reader takes the name lines (the mark removed) as UTF-8 rather than ANSI: marked, when
// they are valid UTF-8. Unmarked, only when they are valid UTF-8 and every character beyond ASCII
// starts with the byte C2, C3 or E2: that covers the Latin-1 letters (ä, ß, é ...) and the
// punctuation and currency signs (–, „, €) of a Linux name, while in an ANSI code page those bytes
// would have to be a letter like "Ã" or "â" followed by a symbol, which hardly anyone writes. A
// name like "Kunden Ä–Z.xls" in cp1252 (C4 96, valid UTF-8 for "Ė") therefore stays ANSI.
bool namesReadAsUtf8(const Trailer& trailer, bool marked);

// The trailer's bytes: each line ended by CR LF, nothing after the last; the recovery marker line
// first when the set has recovery data.
std::string trailerBytes(const Trailer& trailer);

// Either the trailer or, when it is damaged, what exactly is wrong with it (in German).
struct TrailerReading {
    std::optional<Trailer> trailer;
    std::string problem;
};
// Parses the trailer from the last bytes of the reassembler. The program's own bytes come before
// the first line, so that line starts after the last line feed or NUL before it. wholeFile says
// the tail starts at the file's first byte, so that the first line may begin there. The recovery
// marker counts only when it ends exactly where line 1 begins.
TrailerReading parseTrailer(std::string_view tail, bool wholeFile);
// How many bytes from the end are searched for the trailer: far more than four lines take.
inline constexpr std::size_t kTrailerWindow = 64 * 1024;

// The name the restored file gets: line 3, else line 4, reduced to what follows the last "\" or
// "/". Nothing when that leaves no usable name ("", ".", "..", control characters).
std::optional<std::string> outputName(const Trailer& trailer);

// The four lines of autorun.inf (108 bytes with their line ends, ASCII only).
std::vector<std::string> autorunLines();

// Untrusted bytes made safe to print: control characters are shown as "?".
std::string printable(std::string_view bytes);

} // namespace core::diskset
