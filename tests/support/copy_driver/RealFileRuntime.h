// A runtime for the copy run on real files and no window: the host's own drives (Z: is the root
// on Linux), so any absolute path has a drive-letter form, and A: is whatever the caller makes it.
#pragma once

#include "core/SourceSelection.h"
#include "runtime/Runtime.h"

#include <string>

namespace copy_driver {

struct RealFileServices {
    rt::FileSystem* fileSystem = nullptr;
    rt::MessageBoxService* messageBox = nullptr;
    rt::EventPump* events = nullptr;
    rt::ProgramEnd* programEnd = nullptr;
};

// programFolderNative: the host folder that holds QUIL.SYS; floppy: the resolver behind A:.
rt::RuntimeParts realFileParts(const RealFileServices& services, const std::string& programFolderNative,
                               rt::DriveMap::Resolver floppy);

// The drive-letter form of a host path, made absolute first.
std::string driveLetterPath(const rt::DriveMap& drives, const std::string& nativePath);

// The source selection as the start-up sets it for a file named on the command line.
core::SourceSelection selectSource(const std::string& sourcePath);

} // namespace copy_driver
