// "Senden an" on Linux desktops. Windows has one Send To folder; here the closest matches are
// Thunar's Send To menu, Nautilus' scripts and Dolphin's service menus, and the program
// installs itself into all three so that whichever file manager the user has offers it.
#include "runtime/posix/XdgSendTo.h"

#include "AtomicFile.h"
#include "core/DosPath.h"
#include "core/ProductFacts.h"
#include "runtime/DriveMap.h"
#include "runtime/RuntimeError.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rt {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The data folder, and the folder above it that must be there already: a home that does not
// exist is a mistake in the session, and creating it would hide that mistake behind a fresh,
// empty home. The data folder itself, and whatever is missing of it below the home, is made as
// the XDG rules ask (0700): a new account has no ~/.local/share yet. An XDG_DATA_HOME outside the
// home is made from the root down. Empty when there is no home to write into: without HOME the
// entries would land below "/".
struct DataHome {
    std::string folder;
    std::string base;
};

// The home, when HOME names one: absolute and not the root, without trailing slashes.
std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return {};
    }
    std::string folder = home;
    folder.erase(folder.find_last_not_of('/') + 1);
    return folder;
}

// A path without doubled slashes, "." and "..", and without a trailing slash.
std::string normalPath(const std::string& path) {
    std::string normal = std::filesystem::path(path).lexically_normal().string();
    if (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    return normal;
}

// Every spelling of the home the data folder may be written in: as HOME says, and, when HOME is
// a link (perhaps to a folder that is gone), where the link leads.
std::vector<std::string> homeSpellings(const std::string& home) {
    std::vector<std::string> spellings = {normalPath(home)};
    std::filesystem::path path = spellings.front();
    std::error_code error;
    for (int depth = 0; depth < 8 && std::filesystem::is_symlink(path, error); ++depth) {
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) {
            break;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
        spellings.push_back(normalPath(path.string()));
    }
    return spellings;
}

bool isWithin(const std::string& folder, const std::string& base) {
    return folder.compare(0, base.size(), base) == 0 && (folder.size() == base.size() || folder[base.size()] == '/');
}

DataHome defaultDataHome() {
    const std::string home = homeFolder();
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // The XDG rules ignore a relative value.
    if (xdg != nullptr && xdg[0] == '/') {
        const std::string folder = normalPath(xdg);
        // Whatever way the value spells the home, the home itself is never made.
        for (const std::string& spelling : home.empty() ? std::vector<std::string>{} : homeSpellings(home)) {
            if (isWithin(folder, spelling)) {
                return {folder, spelling};
            }
        }
        return {folder, "/"};
    }
    if (home.empty()) {
        return {};
    }
    return {home + "/.local/share", home};
}

DataHome givenDataHome(const std::string& folder) {
    const std::size_t slash = folder.find_last_of('/');
    return {folder, slash == std::string::npos || slash == 0 ? std::string("/") : folder.substr(0, slash)};
}

// "Splitwerk 99" gives "splitwerk99": the file name of the desktop entries and the action id.
std::string entryId(const std::string& name) {
    std::string id;
    for (char c : name) {
        const char lower = core::dospath::lowerAscii(c);
        if ((lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9') || lower == '-' || lower == '_') {
            id += lower;
        }
    }
    return id;
}

// Every entry shows the program's icon, installed under the product's id, whatever the entry is
// called ("Splitwerk 99 für einen Windows-PC" too).
std::string iconName() {
    return entryId(core::product::kName);
}

bool isKnownFolder(const std::string& folder) {
    std::string backslashed = folder;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    return core::dospath::equalIgnoringCase(backslashed, "..\\..\\sendto");
}

// The host path of the program: translated, made absolute, and completed with ".exe" when
// only that exists, as a shell completes a command.
std::string programPath(const DriveMap& drives, const std::string& target) {
    std::string path = drives.toNative(target);
    if (!path.empty() && path[0] != '/') {
        std::string cwd(4096, '\0');
        if (::getcwd(cwd.data(), cwd.size()) == nullptr) {
            return {};
        }
        cwd.resize(cwd.find('\0'));
        path = (cwd == "/" ? cwd : cwd + "/") + path;
    }
    if (!isRegularFile(path) && isRegularFile(path + ".exe")) {
        path += ".exe";
    }
    return path;
}

std::string execLine(const std::string& program, const std::string& arguments) {
    std::string line = desktopExecQuote(program);
    if (!arguments.empty()) {
        line += ' ' + desktopExecQuote(arguments);
    }
    // The whole selection: several files then get the one-file message instead of one window
    // each, or only the first silently.
    return line + " %F";
}

std::string thunarText(const std::string& name, const std::string& exec) {
    // No MimeType key: Thunar would then offer the entry only for the types it names.
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Version=1.0\n"
           "Name=" +
           desktopString(name) + "\nIcon=" + iconName() + "\nExec=" + exec + "\n";
}

std::string dolphinText(const std::string& name, const std::string& id, const std::string& exec) {
    // Every file is an application/octet-stream to KDE, so the action shows for all files.
    return "[Desktop Entry]\n"
           "Type=Service\n"
           "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
           "MimeType=application/octet-stream;\n"
           "Actions=" +
           id + ";\n\n[Desktop Action " + id + "]\nName=" + desktopString(name) + "\nIcon=" + iconName() +
           "\nExec=" + exec + "\n";
}

std::string nautilusText(const std::string& name, const std::string& program, const std::string& arguments) {
    // Nautilus runs the script in the folder it shows and may pass a relative name; the program
    // needs the absolute path (which also keeps a name starting with "-" from looking like an
    // option).
    std::string start = "exec " + shellQuote(program);
    if (!arguments.empty()) {
        start += ' ' + shellQuote(arguments);
    }
    std::string comment;
    for (char c : name) {
        comment += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return "#!/bin/sh\n"
           "# " +
           comment +
           ": sends the selected files to the program.\n"
           "[ $# -gt 0 ] || exit 0\n"
           "for file do\n"
           "    case $file in\n"
           "    /*) ;;\n"
           "    *) file=$PWD/$file ;;\n"
           "    esac\n"
           "    set -- \"$@\" \"$file\"\n"
           "    shift\n"
           "done\n" +
           start + " \"$@\"\n";
}

} // namespace

XdgSendTo::XdgSendTo(const DriveMap& drives, const std::string& dataHome) : drives_(drives) {
    const DataHome chosen = dataHome.empty() ? defaultDataHome() : givenDataHome(dataHome);
    dataHome_ = chosen.folder;
    base_ = chosen.base;
}

std::string XdgSendTo::thunarEntry(const std::string& name) const {
    return dataHome_ + "/Thunar/sendto/" + entryId(name) + ".desktop";
}

std::string XdgSendTo::nautilusScript(const std::string& name) const {
    return dataHome_ + "/nautilus/scripts/" + name;
}

std::string XdgSendTo::dolphinEntry(const std::string& name) const {
    return dataHome_ + "/kio/servicemenus/" + entryId(name) + ".desktop";
}

int XdgSendTo::create(const std::string& folder, const std::string& name, const std::string& target,
                      const std::string& arguments) {
    missingFolder_.clear();
    const std::string id = entryId(name);
    if (dataHome_.empty() || !isKnownFolder(folder) || id.empty() || name.find('/') != std::string::npos ||
        name == "." || name == "..") {
        return 0;
    }
    std::string program;
    try {
        program = programPath(drives_, target);
    } catch (const RuntimeError&) {
        return 0;
    }
    if (program.empty()) {
        return 0;
    }
    if (!isFolder(base_)) {
        missingFolder_ = base_;
        return 0;
    }
    const std::string exec = execLine(program, arguments);
    bool ok = posix::replaceFileAtomically(thunarEntry(name), thunarText(name, exec), 0644);
    ok = posix::replaceFileAtomically(nautilusScript(name), nautilusText(name, program, arguments), 0755) && ok;
    ok = posix::replaceFileAtomically(dolphinEntry(name), dolphinText(name, id, exec), 0755) && ok;
    return ok ? 1 : 0;
}

std::string XdgSendTo::missingFolder() const {
    return missingFolder_;
}

} // namespace rt
