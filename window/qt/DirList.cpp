// The directory list as a tree of items, one per line of the folder list.
#include "DirList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>

#include <vector>

namespace qtface {

namespace {

using form::FolderList;

constexpr int kPathRole = Qt::UserRole + 1;

} // namespace

DirList::DirList(std::function<bool(const std::string&)> opener, QWidget* parent)
    : QTreeWidget(parent), opener_(std::move(opener)) {
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

void DirList::show(const FolderList& folders) {
    clear();
    const QIcon icons[] = {style()->standardIcon(QStyle::SP_DirOpenIcon),
                           style()->standardIcon(QStyle::SP_DirClosedIcon),
                           style()->standardIcon(QStyle::SP_DirLinkIcon)};
    // The last item at each depth: the parent of the next deeper one.
    std::vector<QTreeWidgetItem*> chain;
    QTreeWidgetItem* openDirectory = nullptr;
    for (const FolderList::Entry& entry : folders.entries()) {
        const auto depth = static_cast<std::size_t>(entry.depth);
        const QStringList caption{QString::fromStdString(entry.caption)};
        auto* item =
            depth == 0 ? new QTreeWidgetItem(this, caption) : new QTreeWidgetItem(chain.at(depth - 1), caption);
        item->setIcon(0, icons[static_cast<int>(entry.kind)]);
        item->setData(0, kPathRole, QString::fromStdString(entry.path));
        chain.resize(depth);
        chain.push_back(item);
        if (entry.kind == FolderList::EntryKind::Open) {
            openDirectory = item;
        }
    }
    expandAll();
    if (openDirectory != nullptr) {
        setCurrentItem(openDirectory);
        scrollToItem(openDirectory, QAbstractItemView::PositionAtTop);
    }
}

void DirList::openPath(const std::string& path) {
    if (!opener_(path)) {
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

} // namespace qtface
