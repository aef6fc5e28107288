// Choosing the output folder. The trailer's folder is text written on another machine, so it
// is only taken when it names a folder that exists here.
#include "OutputFolder.h"

#include "Failure.h"
#include "PartNames.h"

#include "runtime/DriveMap.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <exception>
#include <memory>

namespace quil {

std::optional<std::string> resolveFolder(const std::string& folder, const std::string& workingFolder) {
    if (folder.empty() || folder.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    const std::string absolute = folder.front() == '/' ? folder : joinPath(workingFolder, folder);
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(absolute.c_str(), nullptr), &std::free);
    if (!resolved) {
        return std::nullopt;
    }
    struct stat info {};
    if (::stat(resolved.get(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return std::string(resolved.get());
}

std::optional<std::string> sourceFolderHere(const std::string& driveLetterFolder, const rt::DriveMap& drives) {
    if (driveLetterFolder.empty()) {
        return std::nullopt;
    }
    std::string native;
    try {
        native = drives.toNative(driveLetterFolder);
    } catch (const std::exception&) {
        // A drive this machine does not have, or one with nothing mounted.
        return std::nullopt;
    }
    if (native.empty() || native.front() != '/') {
        return std::nullopt;
    }
    return resolveFolder(native, "/");
}

std::string chooseOutputFolder(const std::optional<std::string>& argument, const std::string& driveLetterFolder,
                               const std::string& workingFolder, const rt::DriveMap& drives) {
    if (argument) {
        std::optional<std::string> folder = resolveFolder(*argument, workingFolder);
        if (!folder) {
            throw Failure(kStopped,
                          "Der Zielordner „" + printable(*argument) + "“ existiert nicht oder ist kein Ordner.");
        }
        return *folder;
    }
    if (std::optional<std::string> folder = sourceFolderHere(driveLetterFolder, drives)) {
        return *folder;
    }
    if (std::optional<std::string> folder = resolveFolder(workingFolder, "/")) {
        return *folder;
    }
    throw Failure(kStopped, "Der aktuelle Ordner ist nicht erreichbar; bitte geben Sie einen Zielordner an.");
}

} // namespace quil
