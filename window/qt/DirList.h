// Dir1 on the screen: the chain of folders from the drive's root down to the open directory,
// and below that its subfolders, as the form's folder list holds them. A single click only
// highlights an entry; a double click (or Enter) asks to open it.
#pragma once

#include "form/FolderList.h"

#include <QTreeWidget>

#include <functional>
#include <string>

namespace qtface {

class DirList : public QTreeWidget {
    Q_OBJECT
public:
    // opener: opens a folder the user chose; false when it could not be read.
    DirList(std::function<bool(const std::string&)> opener, QWidget* parent = nullptr);

    // Shows what the folder list holds.
    void show(const form::FolderList& folders);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openPath(const std::string& path);

    std::function<bool(const std::string&)> opener_;
};

} // namespace qtface
