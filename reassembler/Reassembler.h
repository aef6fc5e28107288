// One reassembly from start to end: read the trailer, choose name and folder, check what can
// be checked before writing, join the parts and give the file its name.
#pragma once

#include "Terminal.h"

#include <string>
#include <vector>

namespace quil {

// Restores the file described by the trailer of trailerFile from the parts in partsFolder.
// arguments are the user's: none, or the output folder. Returns the exit status.
int reassemble(const std::vector<std::string>& arguments, const std::string& partsFolder,
               const std::string& trailerFile, Terminal& terminal);

// The text for "-h" and for wrong arguments.
std::string usageText();

} // namespace quil
