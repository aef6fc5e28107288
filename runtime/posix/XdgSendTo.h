// The Send To layer of Linux desktops: "..\..\sendto" means the Send To menus of Thunar,
// Nautilus and Dolphin under $XDG_DATA_HOME (default ~/.local/share).
#pragma once

#include "runtime/ShellLink.h"

#include <string>

namespace rt {

class DriveMap;

class XdgSendTo final : public ShellLink {
public:
    // dataHome: the XDG data folder to write into; empty means $XDG_DATA_HOME or ~/.local/share.
    // Missing folders are created (0700) below the home, or from the root down for an
    // $XDG_DATA_HOME outside it, or below the folder that holds a given dataHome; never the home
    // itself, which missingFolder() then names.
    XdgSendTo(const DriveMap& drives, const std::string& dataHome = {});
    int create(const std::string& folder, const std::string& name, const std::string& target,
               const std::string& arguments) override;
    std::string missingFolder() const override;

    // Where the three entries for a link name land (for tests and for the README).
    std::string thunarEntry(const std::string& name) const;
    std::string nautilusScript(const std::string& name) const;
    std::string dolphinEntry(const std::string& name) const;

private:
    const DriveMap& drives_;
    std::string dataHome_;
    std::string base_;
    std::string missingFolder_;
};

// Escapes a text for the value of a desktop entry key (backslash, line ends, tabs).
std::string desktopString(const std::string& text);
// Quotes one argument for the Exec key of a desktop entry.
std::string desktopExecQuote(const std::string& argument);
// Quotes one argument for a POSIX shell script.
std::string shellQuote(const std::string& argument);

} // namespace rt
