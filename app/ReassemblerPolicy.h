// Which reassembler a run ships and how its trailer names the file: the program's decision from
// how it was started and where it runs.
#pragma once

#include "core/ReassemblerChoice.h"
#include "runtime/ProgramFacts.h"

#include <string>
#include <vector>

namespace app {

// Given as the first argument, it makes a Linux installation write a set for a Windows PC.
inline constexpr const char* kForWindowsOption = "--fuer-windows";
// Where a Linux installation keeps the Windows reassembler, below the program's folder.
inline constexpr const char* kWindowsReassemblerFolder = "windows";

// Whether the set is read on a Windows PC: always for the Windows program, on Linux when the
// option asks for it.
bool forWindowsPc(const rt::ProgramFacts& facts);
// The arguments that name files: all of them but the option.
std::vector<rt::ProgramArgument> fileArguments(const rt::ProgramFacts& facts);

// QUIL.SYS in the program's folder, and the Windows one a Linux installation keeps beside it.
std::string ownReassembler(const rt::ProgramFacts& facts);
std::string windowsReassemblerOfLinux(const rt::ProgramFacts& facts);

// What this start's run puts on the first disk.
ReassemblerChoice reassemblerChoice(const rt::ProgramFacts& facts);

} // namespace app
