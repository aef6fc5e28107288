// The program's policy for the reassembler a run ships and the text of its trailer.
#include "ReassemblerPolicy.h"

#include "core/DiskSet.h"
#include "core/DosPath.h"

#include <algorithm>
#include <cstddef>

namespace app {

namespace {

// Only in front: after a file an option's word is a file of that name, as any other argument.
std::size_t optionsInFront(const rt::ProgramFacts& facts) {
    std::size_t count = 0;
    while (count < facts.arguments.size() &&
           (facts.arguments[count].path == kForWindowsOption || facts.arguments[count].path == kWithRecoveryOption)) {
        ++count;
    }
    return count;
}

bool optionGiven(const rt::ProgramFacts& facts, const char* option) {
    const auto options = facts.arguments.begin() + static_cast<std::ptrdiff_t>(optionsInFront(facts));
    return std::any_of(facts.arguments.begin(), options,
                       [&](const rt::ProgramArgument& argument) { return argument.path == option; });
}

} // namespace

bool forWindowsPc(const rt::ProgramFacts& facts) {
    return facts.windowsProgram || optionGiven(facts, kForWindowsOption);
}

bool withRecoveryData(const rt::ProgramFacts& facts) {
    return optionGiven(facts, kWithRecoveryOption);
}

std::vector<rt::ProgramArgument> fileArguments(const rt::ProgramFacts& facts) {
    return {facts.arguments.begin() + static_cast<std::ptrdiff_t>(optionsInFront(facts)), facts.arguments.end()};
}

std::string ownReassembler(const rt::ProgramFacts& facts) {
    return core::dospath::withTrailingBackslash(facts.programFolder) + core::diskset::kShippedReassembler;
}

std::string windowsReassemblerOfLinux(const rt::ProgramFacts& facts) {
    return core::dospath::withTrailingBackslash(facts.programFolder) + kWindowsReassemblerFolder + "\\" +
           core::diskset::kShippedReassembler;
}

core::ReassemblerChoice reassemblerChoice(const rt::ProgramFacts& facts) {
    core::ReassemblerChoice choice;
    // The Windows program ships its own reassembler whatever it is asked: it is the Windows one.
    choice.shipped =
        forWindowsPc(facts) && !facts.windowsProgram ? windowsReassemblerOfLinux(facts) : ownReassembler(facts);
    // Both, whichever this run ships: a wipe of the program's own folders must not cost the next
    // run its QUIL.SYS.
    choice.installed = {ownReassembler(facts), windowsReassemblerOfLinux(facts)};
    choice.trailerText = forWindowsPc(facts) ? core::TrailerText::AnsiCodePage : core::TrailerText::Utf8;
    return choice;
}

} // namespace app
