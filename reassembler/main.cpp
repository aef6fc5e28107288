// QUIL.EXE: restores a file from the parts Splitwerk 99 wrote onto disks or into a folder.
#include "Failure.h"
#include "Reassembler.h"
#include "SelfRelocation.h"
#include "Terminal.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    const quil::Invocation invocation = quil::parseInvocation(argc, argv);
    quil::Terminal terminal(stdin, stdout, stderr);

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
        quil::removeOwnCopy(origin);
    } else {
        origin = quil::folderOf(quil::ownExecutable());
        const std::string reason = quil::relocate(arguments, origin);
        terminal.complain("Hinweis: QUIL läuft weiter vom Datenträger (" + reason +
                          "); eine Diskette lässt sich erst wechseln, wenn QUIL beendet ist.");
    }
    return quil::reassemble(arguments, origin, "/proc/self/exe", terminal);
}
