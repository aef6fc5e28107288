// What a run puts on the first disk for the PC that will restore the set: which reassembler, and
// in which text its trailer names the file. The program decides it (app/) and hands it to the
// copy run, which carries it out.
#pragma once

#include <string>
#include <vector>

namespace core {

// How the trailer's name lines (2 to 4) are written.
enum class TrailerText {
    // As this program holds them, UTF-8: a Linux reader restores the name as it was stored.
    Utf8,
    // In the ANSI code page of the Windows PC that reads the set, as every Windows reader of
    // such sets expects them.
    AnsiCodePage,
};

struct ReassemblerChoice {
    std::string shipped;                // the QUIL.SYS copied to QUIL.EXE, drive-letter form
    std::vector<std::string> installed; // every reassembler the program keeps; a wipe spares them
    TrailerText trailerText = TrailerText::Utf8;
};

} // namespace core
