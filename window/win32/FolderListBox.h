// Dir1 on Windows: an owner-drawn list box with the chain of folders from the drive's root down
// to the open directory, then its subfolders, each indented by its depth and marked with an
// open, closed or link folder. A single click only highlights a line; a double click, or Enter
// while the list has the focus, opens the highlighted folder.
#pragma once

#include "form/FolderList.h"

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace win32face {

class FolderListBox {
public:
    // opener: opens the folder the user chose; false when it could not be read.
    using Opener = std::function<bool(const std::string&)>;

    // The list box must already exist; the parent gets the open request as openMessage.
    FolderListBox(HWND listBox, HINSTANCE instance, int dpi, UINT openMessage, Opener opener);
    FolderListBox(const FolderListBox&) = delete;
    FolderListBox& operator=(const FolderListBox&) = delete;

    HWND handle() const { return listBox_; }

    // Shows what the folder list holds, the open directory highlighted.
    void show(const form::FolderList& folders);
    // The line height for the font now set on the list.
    void fitItemHeight();
    void draw(const DRAWITEMSTRUCT& item) const;
    // Opens the highlighted line: posted as openMessage by a double click or Enter, so that
    // the list is rebuilt only after the list box has finished handling the click.
    void openHighlighted();

private:
    static LRESULT CALLBACK keyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND listBox_;
    int iconSize_;
    int indent_;
    UINT openMessage_;
    Opener opener_;
    WNDPROC listBoxProc_ = nullptr;
    std::array<HICON, 3> icons_{}; // by form::FolderList::EntryKind
    std::vector<form::FolderList::Entry> entries_;
};

} // namespace win32face
