// The program speaks drive-letter paths ("A:\QUILME01.sys") everywhere; this map translates
// them to the host's directories at the boundary and back, as an emulator maps DOS drives.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rt {

class DriveMap {
public:
    // Gives the directory behind a drive right now, or nothing while the drive is not ready.
    // Asked anew at every access: a new disk may be mounted somewhere else.
    using Resolver = std::function<std::optional<std::string>()>;
    // Names a drive's medium for the drive list ("SYSTEM"), or gives "" for no name.
    using VolumeNamer = std::function<std::string()>;

    // Whether a drive's device is attached at all, medium or not; asked anew each time (a USB
    // floppy drive may be plugged in while a dialog waits).
    using Presence = std::function<bool()>;

    // A drive whose medium can be taken out and another put in (a floppy, a stick): the
    // resolver says where it is mounted right now; without a presence the device is always there.
    void setDrive(char letter, Resolver resolver, Presence presence = {});
    // A fixed drive: always the same directory.
    void setFixedDrive(char letter, const std::string& directory);
    void removeDrive(char letter);
    // How the host names a drive's medium; without one the drive is named by its directory.
    void setVolumeNamer(char letter, VolumeNamer namer);

    // The drives of the host the program runs on (Linux: A: the floppy, D: to Y: removable
    // media, Z: the root; Windows: its own letters).
    static DriveMap hostDefault();

    // "X:\a\b" becomes X's directory + "/a/b"; text without a drive stays relative.
    // Error 71 when the drive is unknown or has nothing mounted.
    std::string toNative(const std::string& path) const;
    // An absolute host path gets the letter of its longest matching drive ("/" becomes "\").
    // A path no drive covers comes back with forward slashes turned into backslashes. Doubled
    // separators count as one where the host reads them so (Linux).
    std::string fromNative(const std::string& nativePath) const;
    // Whether two drive-letter paths name one host folder, whatever letters and trailing or
    // doubled separators they use ("Z:\\media\\floppy0\\" and "A:\\" when A: is mounted there).
    // Error 71 when a drive is not ready.
    bool samePlace(const std::string& a, const std::string& b) const;
    // Whether a host path can be written with drive letters at all: a Linux name may hold a
    // backslash, which the drive-letter form reads as a separator, so that its translation
    // would name another folder.
    static bool canExpress(const std::string& nativePath);

    // Letters defined in the map, in order ("a", "c", ...), whether ready or not.
    std::vector<char> letters() const;
    // The directory of a drive, or nothing when it is not ready.
    std::optional<std::string> root(char letter) const;
    // Whether the medium of a drive can be swapped for another (unknown drives cannot).
    bool isRemovable(char letter) const;
    // The name of a drive's medium, "" for none: the host's namer where it set one, else the
    // last component of the directory the drive stands for (a stick's mount point names it).
    // The floppy and a drive on the root get no such name.
    std::string volumeName(char letter) const;
    // Whether the drive is there, with or without a medium: false for a letter the map does not
    // have, and for the floppy drive of a PC that has none.
    bool hasDevice(char letter) const;

private:
    struct Drive {
        Resolver resolver;
        bool removable = false;
        VolumeNamer namer;
        Presence presence;
    };
    std::map<char, Drive> drives_;
};

} // namespace rt
