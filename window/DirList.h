// Dir1: the directory list. It shows the open directory as the chain of folders from the
// drive's root down to it, and below that its subfolders. A single click only highlights an
// entry; a double click (or Enter) opens it. Paths are drive-letter paths through the
// runtime's drive map ("Z:\home\anna", "A:\").
#pragma once

#include "runtime/DriveMap.h"

#include <QTreeWidget>

#include <map>
#include <string>
#include <vector>

class DirList : public QTreeWidget {
    Q_OBJECT
public:
    DirList(const rt::DriveMap& drives, QWidget* parent = nullptr);

    // The open directory: "Z:\" at a root, "Z:\home\anna" below it; empty before any.
    std::string path() const { return path_; }

    // Opens a directory. A folder reached through a link opens as the folder it leads to when
    // that lies on the same drive, and not at all (error 75) when it lies elsewhere; links among
    // the subfolders show the link icon. A drive designation ("a:", "c: [Daten]") opens that drive's current
    // directory, the one last opened on it, else its root. A path without a drive counts from
    // the open directory. Throws the runtime's numbered error (71 not ready, 76 path not
    // found, 70 access denied ...) when the directory cannot be read; the list then stays
    // as it was.
    void setPath(const std::string& path);

    struct Subfolder {
        std::string name;
        bool link = false;
    };

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Location {
        char letter = 0; // upper case
        std::vector<std::string> folders;
    };

    static std::string textOf(const Location& location);
    Location resolve(const std::string& path) const;
    Location withoutLinks(const Location& location) const;
    void open(const Location& wanted);
    void rebuild(const Location& location, const std::vector<Subfolder>& subfolders);
    // Opens a directory the user chose; one that cannot be read simply does not open.
    void openPath(const std::string& path);

    const rt::DriveMap& drives_;
    std::string path_;
    std::map<char, Location> currentOfDrive_;
};
