// The drive letters of a Windows host: the map is the identity ("A:\x" stays "A:\x"), and a
// drive whose medium can be taken out is ready only while its medium answers.
#pragma once

#include "runtime/DriveMap.h"

namespace rt::win32 {

// Every letter GetLogicalDrives names when the map is made. Fixed disks, network drives and RAM
// disks are always there; every other kind (floppy, stick, card reader, CD or DVD drive, a kind
// Windows cannot tell) is asked for its medium at each access and is removable. Fixed disks
// and RAM disks are named by their volume label; the others get no name, so that listing them
// never touches a medium (a floppy drive would rattle, a lost network share would stall).
DriveMap windowsDriveMap();

// "X:\" while the drive's root answers, nothing while it does not (no disk in the drive).
DriveMap::Resolver mediumResolver(char letter);

// The label of a fixed drive's volume ("SYSTEM"), "" when it has none or does not answer.
std::string volumeLabel(char letter);

// Whether a drive of this GetDriveTypeW kind holds media that are put in and taken out.
bool hasChangingMedia(unsigned driveType);

} // namespace rt::win32
