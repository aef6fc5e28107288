// The Send To layer of Windows: a shortcut (.lnk) in a folder given relative to the user's
// Start-menu Programs folder; "..\..\sendto" lands in the user's SendTo folder.
#pragma once

#include "runtime/ShellLink.h"

#include <string>

namespace rt {

class DriveMap;

class Win32SendTo final : public ShellLink {
public:
    // programsFolder: the folder the link folders are relative to; empty means the user's own
    // Start-menu Programs folder (CSIDL_PROGRAMS).
    explicit Win32SendTo(const DriveMap& drives, std::string programsFolder = {});
    // Saves "<name>.lnk" (replacing one that is there) pointing at the target, completed with
    // ".exe" when only that exists, started with the arguments. Non-zero on success.
    int create(const std::string& folder, const std::string& name, const std::string& target,
               const std::string& arguments) override;

    // Where the link for a folder and name lands; empty when there is no such place.
    std::string linkPath(const std::string& folder, const std::string& name) const;

private:
    const DriveMap& drives_;
    std::string programsFolder_;
};

} // namespace rt
