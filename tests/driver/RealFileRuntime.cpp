// Building the window-less runtime for real files.
#include "RealFileRuntime.h"

#include "core/DosPath.h"

#include <filesystem>

namespace copy_driver {

rt::RuntimeParts realFileParts(const RealFileServices& services, const std::string& programFolderNative,
                               rt::DriveMap::Resolver floppy) {
    rt::RuntimeParts parts;
    parts.drives.setFixedDrive('Z', "/");
    parts.drives.setDrive('A', std::move(floppy));
    parts.fileSystem = services.fileSystem;
    parts.messageBox = services.messageBox;
    parts.events = services.events;
    parts.programEnd = services.programEnd;
    parts.facts.programFolder = driveLetterPath(parts.drives, programFolderNative);
    parts.facts.programName = "splitwerk";
    return parts;
}

std::string driveLetterPath(const rt::DriveMap& drives, const std::string& nativePath) {
    std::string absolute = std::filesystem::absolute(nativePath).lexically_normal().string();
    if (absolute.size() > 1 && absolute.back() == '/') {
        absolute.pop_back();
    }
    return drives.fromNative(absolute);
}

SourceSelection selectSource(const std::string& sourcePath) {
    SourceSelection source;
    source.SourcePath = sourcePath;
    source.SourceFolder = dospath::folderWithSeparator(sourcePath);
    source.SourceName = dospath::lastComponent(sourcePath);
    return source;
}

} // namespace copy_driver
