// Creating a shortcut in a folder given relative to the Start menu's Programs folder; the
// program only ever uses "..\..\sendto", the file managers' Send To menus.
#pragma once

#include <string>

namespace rt {

class ShellLink {
public:
    virtual ~ShellLink() = default;
    // Returns non-zero on success; callers are free to ignore it.
    virtual int create(const std::string& folder, const std::string& name, const std::string& target,
                       const std::string& arguments) = 0;
    // After a failed create: the folder that has to exist already (the user's home) when that
    // was what was missing, as a host path; empty for every other failure.
    virtual std::string missingFolder() const { return {}; }
};

} // namespace rt
