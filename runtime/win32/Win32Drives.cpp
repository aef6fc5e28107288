// The drive map of a Windows host. Readiness is asked at every access: the program must hear
// "not ready" (71) for an empty floppy drive before it writes, not a file error afterwards.
#include "Win32Drives.h"

#include "Win32LongPath.h"
#include "core/DosPath.h"

#include <windows.h>

namespace rt {

namespace win32 {

bool hasChangingMedia(unsigned driveType) {
    switch (driveType) {
    case DRIVE_FIXED:
    case DRIVE_REMOTE:
    case DRIVE_RAMDISK:
        return false;
    default:
        // DRIVE_REMOVABLE (floppies, sticks, card readers) and DRIVE_CDROM (a disc is swapped
        // like a floppy, and a rewritable one is written like one), and the kinds Windows cannot
        // name, which are safest asked at every access.
        return true;
    }
}

DriveMap::Resolver mediumResolver(char letter) {
    const std::string root = {core::dospath::upperAscii(letter), ':', '\\'};
    return [root]() -> std::optional<std::string> {
        // The root of a drive without a medium gives ERROR_NOT_READY; with the system's error
        // boxes suppressed that costs no dialog.
        const DWORD attributes = ::GetFileAttributesW(widen(root).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            return std::nullopt;
        }
        return root;
    };
}

std::string volumeLabel(char letter) {
    const std::wstring root = widen(std::string{core::dospath::upperAscii(letter), ':', '\\'});
    wchar_t label[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
        return {};
    }
    return narrow(label);
}

DriveMap windowsDriveMap() {
    DriveMap map;
    const DWORD present = ::GetLogicalDrives();
    for (int index = 0; index < 26; ++index) {
        if ((present & (1u << index)) == 0) {
            continue;
        }
        const char letter = static_cast<char>('A' + index);
        const std::string root = {letter, ':', '\\'};
        const UINT type = ::GetDriveTypeW(widen(root).c_str());
        if (hasChangingMedia(type)) {
            map.setDrive(letter, mediumResolver(letter));
        } else {
            map.setFixedDrive(letter, root);
        }
        if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
            map.setVolumeNamer(letter, [letter] { return volumeLabel(letter); });
        } else {
            map.setVolumeNamer(letter, [] { return std::string(); });
        }
    }
    return map;
}

} // namespace win32

DriveMap DriveMap::hostDefault() {
    return win32::windowsDriveMap();
}

} // namespace rt
