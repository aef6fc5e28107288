// The files of the first disk besides the parts: the reassembler copy with its four-line
// trailer and autorun.inf. Each file operation goes through the caller's attempt function
// on its own, so that a retry after a failure repeats only the operation that failed
// (only the third trailer line with its directory search, say), never the whole file. Only the
// close is not repeated: its failure leaves the writer, and the file must be written anew.
#pragma once

#include "core/ReassemblerChoice.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace core {
struct SourceSelection;
} // namespace core

namespace rt {
class Runtime;
}

namespace kopierer {

// Runs one operation under the recovery handler in force; returns once it has succeeded.
using Attempt = std::function<void(const std::function<void()>&)>;

// Copies the shipped QUIL.SYS to reassemblerPath, replacing a file of that name.
void copyReassembler(rt::Runtime& runtime, const std::string& shipped, const std::string& reassemblerPath,
                     const Attempt& attempt);

// What a writer put into its file, so that the copy run can read it back from the medium.
struct Written {
    std::string bytes;
    int64_t sourceLength = 0; // the length the trailer promises; 0 for autorun.inf
};

// Appends the trailer: the source's length, its folder, its name as stored (the long name; empty
// for a hidden or system file), and its name as given, the names in the text chosen for the set.
// A set with recovery data has the marker line with its tie before them.
Written writeTrailer(rt::Runtime& runtime, const std::string& reassemblerPath, const core::SourceSelection& source,
                     core::TrailerText text, const Attempt& attempt,
                     const std::optional<std::string>& recoveryTie = std::nullopt);

// Creates targetFolder + "autorun.inf" anew: 108 bytes of ASCII.
Written writeAutorun(rt::Runtime& runtime, const std::string& targetFolder, const Attempt& attempt);

} // namespace kopierer
