// The program's policy for the reassembler a run ships and the text of its trailer.
#include "ReassemblerPolicy.h"

#include "core/DiskSet.h"
#include "core/DosPath.h"

namespace app {

namespace {

bool optionGiven(const rt::ProgramFacts& facts) {
    return !facts.arguments.empty() && facts.arguments.front().path == kForWindowsOption;
}

} // namespace

bool forWindowsPc(const rt::ProgramFacts& facts) {
    return facts.windowsProgram || optionGiven(facts);
}

std::vector<rt::ProgramArgument> fileArguments(const rt::ProgramFacts& facts) {
    // Only in front: after a file it is a file of that name, as any other argument.
    return {facts.arguments.begin() + (optionGiven(facts) ? 1 : 0), facts.arguments.end()};
}

std::string ownReassembler(const rt::ProgramFacts& facts) {
    return core::dospath::withTrailingBackslash(facts.programFolder) + core::diskset::kShippedReassembler;
}

std::string windowsReassemblerOfLinux(const rt::ProgramFacts& facts) {
    return core::dospath::withTrailingBackslash(facts.programFolder) + kWindowsReassemblerFolder + "\\" +
           core::diskset::kShippedReassembler;
}

ReassemblerChoice reassemblerChoice(const rt::ProgramFacts& facts) {
    ReassemblerChoice choice;
    // The Windows program ships its own reassembler whatever it is asked: it is the Windows one.
    choice.shipped =
        forWindowsPc(facts) && !facts.windowsProgram ? windowsReassemblerOfLinux(facts) : ownReassembler(facts);
    // Both, whichever this run ships: a wipe of the program's own folders must not cost the next
    // run its QUIL.SYS.
    choice.installed = {ownReassembler(facts), windowsReassemblerOfLinux(facts)};
    choice.trailerText = forWindowsPc(facts) ? TrailerText::AnsiCodePage : TrailerText::Utf8;
    return choice;
}

} // namespace app
