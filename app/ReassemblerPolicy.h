// Which reassembler a run ships and how its trailer names the file: the program's decision from
// how it was started and where it runs.
#pragma once

#include "core/ReassemblerChoice.h"
#include "runtime/ProgramFacts.h"

#include <string>
#include <vector>

namespace app {

// Options stand in front of the file, in either order. This one makes a Linux installation write
// a set for a Windows PC.
inline constexpr const char* kForWindowsOption = "--fuer-windows";
// This one makes the run write recovery data after the last part, on Ersatzdisketten or beside
// the parts, so that QUIL.EXE can rebuild any one lost or damaged part.
inline constexpr const char* kWithRecoveryOption = "--mit-ersatzdiskette";
// Where a Linux installation keeps the Windows reassembler, below the program's folder.
inline constexpr const char* kWindowsReassemblerFolder = "windows";

// Whether the set is read on a Windows PC: always for the Windows program, on Linux when the
// option asks for it.
bool forWindowsPc(const rt::ProgramFacts& facts);
// Whether the run writes recovery data.
bool withRecoveryData(const rt::ProgramFacts& facts);
// The arguments that name files: all of them but the options in front.
std::vector<rt::ProgramArgument> fileArguments(const rt::ProgramFacts& facts);

// QUIL.SYS in the program's folder, and the Windows one a Linux installation keeps beside it.
std::string ownReassembler(const rt::ProgramFacts& facts);
std::string windowsReassemblerOfLinux(const rt::ProgramFacts& facts);

// What this start's run puts on the first disk.
core::ReassemblerChoice reassemblerChoice(const rt::ProgramFacts& facts);

} // namespace app
