// Building the window-less runtime for real files.
#include "RealFileRuntime.h"

#include "core/DosPath.h"

#include <filesystem>

namespace copy_driver {

rt::RuntimeParts realFileParts(const RealFileServices& services, const std::string& programFolderNative,
                               rt::DriveMap::Resolver floppy) {
    rt::RuntimeParts parts;
    parts.drives = rt::DriveMap::hostDefault();
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
    std::filesystem::path absolute = std::filesystem::absolute(nativePath).lexically_normal();
    // "/a/b/" names the folder "/a/b"; a root keeps its separator.
    if (!absolute.has_filename() && absolute.has_relative_path()) {
        absolute = absolute.parent_path();
    }
    return drives.fromNative(absolute.string());
}

core::SourceSelection selectSource(const std::string& sourcePath) {
    core::SourceSelection source;
    source.SourcePath = sourcePath;
    source.SourceFolder = core::dospath::folderWithSeparator(sourcePath);
    source.SourceName = core::dospath::lastComponent(sourcePath);
    return source;
}

} // namespace copy_driver
