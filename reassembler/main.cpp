// QUIL.EXE: restores a file from the parts Splitwerk 99 wrote onto disks or into a folder.
#include "Failure.h"
#include "Reassembler.h"
#include "ReassemblerHost.h"
#include "SelfRelocation.h"
#include "Terminal.h"

#include <memory>
#include <optional>
#include <string>

namespace {

// The user's words again, for the relocated copy.
std::vector<std::string> userWords(const quil::Invocation& invocation) {
    std::vector<std::string> words = invocation.arguments;
    if (invocation.waitAtEnd) {
        words.insert(words.begin(), quil::kWaitOption);
    }
    return words;
}

// The exit status; inCopy says the relocated copy made the whole run (and waited, when asked to).
int run(const quil::Invocation& invocation, quil::Terminal& terminal, bool& inCopy) {
    std::vector<std::string> arguments = invocation.arguments;
    if (!arguments.empty() && (arguments[0] == "-h" || arguments[0] == "--help" || arguments[0] == "/?")) {
        terminal.say(quil::usageText());
        return quil::kSuccess;
    }
    // Handed a set's QUIL.EXE, the trailer and the parts are that set's, not this program's.
    std::optional<std::string> setProgram;
    if (!arguments.empty() && quil::namesSetProgram(arguments[0]) &&
        quil::host::factsOf(arguments[0]).kind == quil::host::FileFacts::Kind::Regular) {
        setProgram = arguments[0];
        arguments.erase(arguments.begin());
    }
    if (arguments.size() > 1) {
        terminal.complain("Zu viele Angaben: QUIL.EXE nimmt höchstens einen Zielordner.\n" + quil::usageText());
        return quil::kStopped;
    }

    std::string origin;
    if (invocation.originFolder) {
        origin = *invocation.originFolder;
    } else {
        origin = quil::host::folderOf(quil::host::ownExecutable());
        // An installed program runs from the fixed disk and need not move; one on the set's
        // medium must, whatever set it was handed.
        if (!setProgram || quil::host::isExchangeableMedium(origin)) {
            const quil::host::Relocation relocation = quil::host::relocate(userWords(invocation), origin);
            if (relocation.exitCode) {
                inCopy = true;
                return *relocation.exitCode;
            }
            terminal.complain("Hinweis: QUIL läuft weiter vom Datenträger (" + relocation.problem +
                              "); eine Diskette lässt sich erst wechseln, wenn QUIL beendet ist.");
        }
    }
    if (setProgram) {
        return quil::reassemble(arguments, quil::host::folderOf(*setProgram), *setProgram, terminal);
    }
    return quil::reassemble(arguments, origin, quil::host::ownProgramFile(), terminal);
}

} // namespace

int main(int argc, char** argv) {
    quil::host::prepareProcess();
    const quil::Invocation invocation = quil::parseInvocation(quil::host::commandLine(argc, argv));
    const std::unique_ptr<quil::Console> console = quil::host::standardConsole();
    quil::Terminal terminal(*console);

    bool inCopy = false;
    const int status = run(invocation, terminal, inCopy);
    if (invocation.waitAtEnd && !inCopy) {
        terminal.say("Zum Schließen des Fensters die Eingabetaste drücken.");
        terminal.readLine();
    }
    return status;
}
