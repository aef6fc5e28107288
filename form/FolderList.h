// Dir1 without its looks: the open directory, the chain of folders from the drive's root down to
// it, and its subfolders. Paths are drive-letter paths through the runtime's drive map
// ("Z:\home\anna", "A:\"); each drive remembers the directory last opened on it.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace rt {
class Runtime;
} // namespace rt

namespace form {

class FolderList {
public:
    explicit FolderList(rt::Runtime& runtime);

    // One line of the list: the chain from the root to the open directory, then its subfolders.
    enum class EntryKind { Open, Closed, Link };
    struct Entry {
        std::string caption; // "C:\" for the root, else the folder's name
        std::string path;    // what opening this line opens
        int depth = 0;       // 0 for the root
        EntryKind kind = EntryKind::Open;
    };

    // The open directory: "Z:\" at a root, "Z:\home\anna" below it; empty before any.
    const std::string& path() const { return path_; }
    const std::vector<Entry>& entries() const { return entries_; }

    // Opens a directory. A folder reached through a link opens as the folder it leads to when
    // that lies on the same drive, and not at all (error 75) when it lies elsewhere. A drive
    // designation ("a:", "c: [Daten]") opens that drive's current directory, the one last opened
    // on it, else its root. A path without a drive counts from the open directory. Throws the
    // runtime's numbered error (71 not ready, 76 path not found, 70 access denied ...) when the
    // directory cannot be read; the list then stays as it was.
    void setPath(const std::string& path);

private:
    struct Location {
        char letter = 0; // upper case
        std::vector<std::string> folders;
    };
    struct Subfolder {
        std::string name;
        bool link = false;
    };

    static std::string textOf(const Location& location);
    Location resolve(const std::string& path) const;
    Location withoutLinks(const Location& location) const;
    std::vector<Subfolder> subfoldersOf(const Location& location) const;
    void open(const Location& wanted);

    rt::Runtime& runtime_;
    std::string path_;
    std::vector<Entry> entries_;
    std::map<char, Location> currentOfDrive_;
};

} // namespace form
