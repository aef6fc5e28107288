// Choosing the output folder. The trailer's folder is text written on another machine, so it
// is only taken when it names a folder that exists here.
#include "OutputFolder.h"

#include "Failure.h"

namespace quil {

std::string chooseOutputFolder(const std::optional<std::string>& argument,
                               const std::optional<std::string>& sourceFolder, const std::string& workingFolder) {
    if (argument) {
        std::optional<std::string> folder = resolveFolder(*argument, workingFolder);
        if (!folder) {
            throw Failure(kStopped,
                          "Der Zielordner „" + printable(*argument) + "“ existiert nicht oder ist kein Ordner.");
        }
        return *folder;
    }
    if (sourceFolder) {
        return *sourceFolder;
    }
    if (std::optional<std::string> folder = resolveFolder(workingFolder, workingFolder)) {
        return *folder;
    }
    throw Failure(kStopped, "Der aktuelle Ordner ist nicht erreichbar; bitte geben Sie einen Zielordner an.");
}

} // namespace quil
