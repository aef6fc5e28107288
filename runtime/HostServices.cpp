// The host's services for a program entry.
#include "HostServices.h"

#include "HostPlatform.h"

namespace rt {

namespace {

// Runs before the members are made: none of them may touch a drive before the system is told.
bool prepared() {
    prepareProcess();
    return true;
}

} // namespace

HostServices::HostServices()
    : fileSystem_((prepared(), makeHostFileSystem())), drives_(DriveMap::hostDefault()),
      sendTo_(makeHostShellLink(drives_)) {}

RuntimeParts HostServices::parts(ProgramFacts facts, MessageBoxService& messageBox, EventPump& events) {
    RuntimeParts parts;
    parts.drives = drives_;
    parts.facts = std::move(facts);
    parts.fileSystem = fileSystem_.get();
    parts.messageBox = &messageBox;
    parts.events = &events;
    parts.programEnd = &end_;
    parts.shellLink = sendTo_.get();
    parts.lockSpace = kProgramLockSpace;
    return parts;
}

} // namespace rt
