// The directory list over the runtime's drive map.
#include "DirList.h"

#include "runtime/RuntimeError.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool hasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])) != 0;
}

// "a:" alone, or followed by the volume name the drive list shows ("c: [Daten]").
bool isDriveDesignation(const std::string& path) {
    return hasDrive(path) && (path.size() == 2 || path[2] == ' ');
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

std::string folded(const std::string& text) {
    std::string out = text;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return out;
}

// The visible subfolders of a host directory, sorted as a user reads them. Hidden folders
// (a leading dot) stay out, as hidden folders do in the classic list, and so do names holding a
// backslash: their drive-letter form would name another folder.
std::vector<DirList::Subfolder> subfoldersOf(const std::string& nativeDirectory) {
    std::error_code error;
    std::filesystem::directory_iterator it(nativeDirectory, error);
    if (error) {
        rt::raise(rt::errorFromErrno(error.value(), rt::ErrnoSubject::Folder));
    }
    std::vector<DirList::Subfolder> names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code typeError;
        const std::string name = it->path().filename().string();
        if (!name.empty() && name[0] != '.' && rt::DriveMap::canExpress(name) && it->is_directory(typeError)) {
            names.push_back({name, it->is_symlink(typeError)});
        }
    }
    if (error) {
        rt::raise(rt::errorFromErrno(error.value(), rt::ErrnoSubject::Folder));
    }
    std::sort(names.begin(), names.end(), [](const DirList::Subfolder& a, const DirList::Subfolder& b) {
        const std::string fa = folded(a.name);
        const std::string fb = folded(b.name);
        return fa != fb ? fa < fb : a.name < b.name;
    });
    return names;
}

} // namespace

DirList::DirList(const rt::DriveMap& drives, QWidget* parent) : QTreeWidget(parent), drives_(drives) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(fontMetrics().averageCharWidth() * 2);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    // The list is rebuilt only once the double click has been handled: rebuilding it inside the
    // view's own mouse handling leaves the view with stale state, and the next double click
    // would be lost.
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
        if (item == nullptr) {
            return;
        }
        const std::string path = item->data(0, kPathRole).toString().toStdString();
        QMetaObject::invokeMethod(
            this, [this, path] { openPath(path); }, Qt::QueuedConnection);
    });
}

std::string DirList::textOf(const Location& location) {
    std::string text{location.letter, ':', '\\'};
    for (std::size_t i = 0; i < location.folders.size(); ++i) {
        if (i > 0) {
            text += '\\';
        }
        text += location.folders[i];
    }
    return text;
}

DirList::Location DirList::resolve(const std::string& path) const {
    Location location;
    std::string rest;
    if (hasDrive(path)) {
        location.letter = upper(path[0]);
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

void DirList::setPath(const std::string& path) {
    if (isDriveDesignation(path)) {
        const char letter = upper(path[0]);
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
DirList::Location DirList::withoutLinks(const Location& location) const {
    const std::optional<std::string> root = drives_.root(location.letter);
    std::error_code realError;
    std::error_code rootError;
    const std::filesystem::path real = std::filesystem::canonical(drives_.toNative(textOf(location)), realError);
    std::filesystem::path expected = std::filesystem::canonical(root.value_or(std::string()), rootError);
    if (realError || rootError) {
        return location; // missing or unreadable: opening it says so
    }
    for (const std::string& folder : location.folders) {
        expected /= folder;
    }
    if (real == expected) {
        return location;
    }
    const std::string mapped = drives_.fromNative(real.string());
    if (!rt::DriveMap::canExpress(real.string()) || !hasDrive(mapped) || upper(mapped[0]) != location.letter) {
        rt::raise(rt::kPathFileAccess);
    }
    return resolve(mapped);
}

void DirList::open(const Location& wanted) {
    const Location location = withoutLinks(wanted);
    const std::string text = textOf(location);
    const std::vector<Subfolder> subfolders = subfoldersOf(drives_.toNative(text));
    path_ = text;
    currentOfDrive_[location.letter] = location;
    rebuild(location, subfolders);
}

void DirList::rebuild(const Location& location, const std::vector<Subfolder>& subfolders) {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon linkIcon = style()->standardIcon(QStyle::SP_DirLinkIcon);

    Location step{location.letter, {}};
    auto* item = new QTreeWidgetItem(this, QStringList{QString::fromStdString(textOf(step))});
    item->setIcon(0, openIcon);
    item->setData(0, kPathRole, QString::fromStdString(textOf(step)));
    for (const std::string& folder : location.folders) {
        step.folders.push_back(folder);
        item = new QTreeWidgetItem(item, QStringList{QString::fromStdString(folder)});
        item->setIcon(0, openIcon);
        item->setData(0, kPathRole, QString::fromStdString(textOf(step)));
    }
    QTreeWidgetItem* const openDirectory = item;
    for (const Subfolder& folder : subfolders) {
        Location child = location;
        child.folders.push_back(folder.name);
        auto* childItem = new QTreeWidgetItem(openDirectory, QStringList{QString::fromStdString(folder.name)});
        childItem->setIcon(0, folder.link ? linkIcon : closedIcon);
        childItem->setData(0, kPathRole, QString::fromStdString(textOf(child)));
    }
    expandAll();
    setCurrentItem(openDirectory);
    scrollToItem(openDirectory, QAbstractItemView::PositionAtTop);
}

void DirList::openPath(const std::string& path) {
    try {
        setPath(path);
    } catch (const rt::RuntimeError&) {
        // A folder that cannot be read simply does not open, as in the classic list; the
        // directory shown, and with it the target of the run, stays what it was.
        QApplication::beep();
    }
}

void DirList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (QTreeWidgetItem* const item = currentItem()) {
            openPath(item->data(0, kPathRole).toString().toStdString());
        }
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
