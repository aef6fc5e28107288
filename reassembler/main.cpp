// QUIL.EXE: restores a file from the parts Splitwerk 99 wrote onto disks or into a folder.
#include "Failure.h"
#include "Host.h"
#include "Reassembler.h"
#include "SelfRelocation.h"
#include "Terminal.h"

#include <memory>
#include <string>

int main(int argc, char** argv) {
    quil::host::prepareProcess();
    const quil::Invocation invocation = quil::parseInvocation(quil::host::commandLine(argc, argv));
    const std::unique_ptr<quil::Console> console = quil::host::standardConsole();
    quil::Terminal terminal(*console);

    const std::vector<std::string>& arguments = invocation.arguments;
    if (!arguments.empty() && (arguments[0] == "-h" || arguments[0] == "--help" || arguments[0] == "/?")) {
        terminal.say(quil::usageText());
        return quil::kSuccess;
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
        const quil::host::Relocation relocation = quil::host::relocate(arguments, origin);
        if (relocation.exitCode) {
            return *relocation.exitCode;
        }
        terminal.complain("Hinweis: QUIL läuft weiter vom Datenträger (" + relocation.problem +
                          "); eine Diskette lässt sich erst wechseln, wenn QUIL beendet ist.");
    }
    return quil::reassemble(arguments, origin, quil::host::ownProgramFile(), terminal);
}
