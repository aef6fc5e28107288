// Choosing the output folder. The trailer's folder is text written on another machine, so it
// is only a proposal: nothing there is looked up before the user agrees to write there.
#include "OutputFolder.h"

#include "Failure.h"

namespace quil {

std::string chooseOutputFolder(const std::optional<std::string>& argument, const std::string& workingFolder) {
    if (argument) {
        std::optional<std::string> folder = resolveFolder(*argument, workingFolder);
        if (!folder) {
            fail(kStopped, "Der Zielordner „" + printable(*argument) + "“ existiert nicht oder ist kein Ordner.");
        }
        return *folder;
    }
    if (std::optional<std::string> folder = resolveFolder(workingFolder, workingFolder)) {
        return *folder;
    }
    fail(kStopped, "Der aktuelle Ordner ist nicht erreichbar; bitte geben Sie einen Zielordner an.");
}

std::string confirmOutputFolder(const std::string& proposal, const std::string& workingFolder, Terminal& terminal) {
    for (;;) {
        const FolderAnswer answer = terminal.askWhereTo(printable(proposal));
        const std::string& named = answer.kind == FolderAnswer::Kind::Yes ? proposal : answer.folder;
        switch (answer.kind) {
        case FolderAnswer::Kind::No:
            fail(kStopped, std::string("Nichts geschrieben. Geben Sie den Zielordner beim Aufruf an, zum "
                                       "Beispiel:\n  QUIL.EXE ") +
                               host::exampleFolder());
        case FolderAnswer::Kind::Yes:
        case FolderAnswer::Kind::Folder:
            if (std::optional<std::string> chosen = resolveFolder(named, workingFolder)) {
                return *chosen;
            }
            terminal.say("Den Ordner „" + printable(named) + "“ gibt es nicht.");
            break;
        }
    }
}

std::optional<std::string> typedFolder(const std::string& typed, const std::string& workingFolder, Terminal& terminal) {
    std::optional<std::string> folder = resolveFolder(typed, workingFolder);
    if (!folder) {
        terminal.say("Den Ordner „" + printable(typed) + "“ gibt es nicht.");
    }
    return folder;
}

} // namespace quil
