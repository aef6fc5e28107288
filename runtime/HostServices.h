// What every program entry takes from the host alike: the real file system, the drive map, the
// Send To layer and the immediate end. The face's own message box and yield complete them to the
// parts of the program's runtime.
#pragma once

#include "DriveMap.h"
#include "ProgramEnd.h"
#include "Runtime.h"

#include <memory>

namespace rt {

class HostServices {
public:
    // Prepares the process first (see prepareProcess), before anything touches a drive.
    HostServices();
    HostServices(const HostServices&) = delete;
    HostServices& operator=(const HostServices&) = delete;

    const DriveMap& drives() const { return drives_; }

    // The runtime's parts: these services, the face's box and yield, and the program's facts.
    // The services must outlive the runtime.
    RuntimeParts parts(ProgramFacts facts, MessageBoxService& messageBox, EventPump& events);

private:
    std::unique_ptr<FileSystem> fileSystem_;
    // The Send To layer keeps its own copy of the map; the resolvers look the mounts up anew at
    // each access, so both copies always agree.
    DriveMap drives_;
    std::unique_ptr<ShellLink> sendTo_;
    ProcessExit end_;
};

} // namespace rt
