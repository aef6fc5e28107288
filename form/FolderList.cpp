// The directory list's navigation over the runtime's drive map.
#include "FolderList.h"

#include "core/DosPath.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <optional>

namespace form {

namespace {

using core::dospath::hasDrivePrefix;
using core::dospath::upperAscii;

// "a:" alone, or followed by the volume name the drive list shows ("c: [Daten]").
bool isDriveDesignation(const std::string& path) {
    return hasDrivePrefix(path) && (path.size() == 2 || path[2] == ' ');
}

std::vector<std::string> splitFolders(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == '\\' || c == '/') {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

} // namespace

FolderList::FolderList(rt::Runtime& runtime) : runtime_(runtime) {}

std::string FolderList::textOf(const Location& location) {
    std::string text{location.letter, ':', '\\'};
    for (std::size_t i = 0; i < location.folders.size(); ++i) {
        if (i > 0) {
            text += '\\';
        }
        text += location.folders[i];
    }
    return text;
}

FolderList::Location FolderList::resolve(const std::string& path) const {
    Location location;
    std::string rest;
    if (hasDrivePrefix(path)) {
        location.letter = upperAscii(path[0]);
        rest = path.substr(2);
        const bool absolute = !rest.empty() && (rest[0] == '\\' || rest[0] == '/');
        if (!absolute) {
            // "C:Daten" counts from that drive's current directory, as on the command line.
            const auto current = currentOfDrive_.find(location.letter);
            if (current != currentOfDrive_.end()) {
                location.folders = current->second.folders;
            }
        }
    } else {
        if (path_.empty()) {
            rt::raise(rt::kPathNotFound);
        }
        location = resolve(path_);
        rest = path;
    }
    for (const std::string& part : splitFolders(rest)) {
        if (part == ".") {
            continue;
        }
        if (part == "..") {
            if (!location.folders.empty()) {
                location.folders.pop_back();
            }
            continue;
        }
        location.folders.push_back(part);
    }
    return location;
}

void FolderList::setPath(const std::string& path) {
    if (isDriveDesignation(path)) {
        const char letter = upperAscii(path[0]);
        const auto current = currentOfDrive_.find(letter);
        if (current != currentOfDrive_.end() && !current->second.folders.empty()) {
            try {
                open(current->second);
                return;
            } catch (const rt::RuntimeError&) {
                // The folder went away with its disk; the root of the new one will do.
            }
        }
        open(Location{letter, {}});
        return;
    }
    open(resolve(path));
}

// A folder reached through a link opens as the folder the link leads to, so the list shows, and
// the run writes into, where the files really go. A link into another drive does not open: the
// run would refuse that target, and the drive list could not follow.
FolderList::Location FolderList::withoutLinks(const Location& location) const {
    const std::string wanted = core::dospath::withTrailingBackslash(textOf(location));
    std::string real;
    try {
        real = runtime_.realFolder(wanted);
        if (runtime_.drives().samePlace(real, wanted)) {
            return location; // no link on the way (a medium's folder may have its own letter too)
        }
    } catch (const rt::RuntimeError&) {
        return location; // missing or unreadable: opening it says so
    }
    if (!hasDrivePrefix(real) || upperAscii(real[0]) != location.letter) {
        rt::raise(rt::kPathFileAccess);
    }
    return resolve(real);
}

// The visible subfolders, sorted as a user reads them. Hidden folders (a leading dot) stay out,
// as hidden folders do in the classic list, and so do names holding a backslash: their
// drive-letter form would name another folder.
std::vector<FolderList::Subfolder> FolderList::subfoldersOf(const Location& location) const {
    std::vector<Subfolder> names;
    for (const rt::DirEntry& entry : runtime_.folders(textOf(location))) {
        if (!entry.name.empty() && entry.name[0] != '.' && rt::DriveMap::canExpress(entry.name)) {
            names.push_back({entry.name, entry.kind == rt::FileKind::Link});
        }
    }
    std::sort(names.begin(), names.end(), [](const Subfolder& a, const Subfolder& b) {
        const std::string fa = core::dospath::lowerAscii(a.name);
        const std::string fb = core::dospath::lowerAscii(b.name);
        return fa != fb ? fa < fb : a.name < b.name;
    });
    return names;
}

void FolderList::open(const Location& wanted) {
    const Location location = withoutLinks(wanted);
    const std::vector<Subfolder> subfolders = subfoldersOf(location);
    std::vector<Entry> entries;
    Location step{location.letter, {}};
    entries.push_back({textOf(step), textOf(step), 0, EntryKind::Open});
    for (const std::string& folder : location.folders) {
        step.folders.push_back(folder);
        entries.push_back({folder, textOf(step), static_cast<int>(step.folders.size()), EntryKind::Open});
    }
    const int childDepth = static_cast<int>(location.folders.size()) + 1;
    for (const Subfolder& folder : subfolders) {
        Location child = location;
        child.folders.push_back(folder.name);
        entries.push_back({folder.name, textOf(child), childDepth, folder.link ? EntryKind::Link : EntryKind::Closed});
    }
    path_ = textOf(location);
    entries_ = std::move(entries);
    currentOfDrive_[location.letter] = location;
}

} // namespace form
