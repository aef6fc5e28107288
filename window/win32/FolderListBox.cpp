// The folder list box: its lines, their drawing and the keys it keeps from the dialog manager.
#include "FolderListBox.h"

#include "Win32Pictures.h"
#include "lowio/win32/Wide.h"
#include "window/resources/ResourceIds.h"

#include <algorithm>

namespace win32face {

namespace {

using form::FolderList;

constexpr const wchar_t* kSelfProperty = L"Splitwerk.FolderListBox";

} // namespace

FolderListBox::FolderListBox(HWND listBox, HINSTANCE instance, int dpi, UINT openMessage, Opener opener)
    : listBox_(listBox), iconSize_(::MulDiv(16, dpi, 96)), indent_(::MulDiv(10, dpi, 96)), openMessage_(openMessage),
      opener_(std::move(opener)) {
    icons_[static_cast<std::size_t>(FolderList::EntryKind::Open)] =
        folderIcon(instance, SPLITWERK_ICON_FOLDER_OPEN, iconSize_);
    icons_[static_cast<std::size_t>(FolderList::EntryKind::Closed)] =
        folderIcon(instance, SPLITWERK_ICON_FOLDER_CLOSED, iconSize_);
    icons_[static_cast<std::size_t>(FolderList::EntryKind::Link)] =
        folderIcon(instance, SPLITWERK_ICON_FOLDER_LINK, iconSize_);
    // The dialog manager would take Enter for itself; the list wants it to open a folder.
    ::SetPropW(listBox_, kSelfProperty, this);
    listBoxProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(listBox_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FolderListBox::keyProc)));
}

LRESULT CALLBACK FolderListBox::keyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<FolderListBox*>(::GetPropW(window, kSelfProperty));
    const LRESULT result = ::CallWindowProcW(self->listBoxProc_, window, message, wParam, lParam);
    if (message == WM_GETDLGCODE) {
        const auto* keyMessage = reinterpret_cast<const MSG*>(lParam);
        if (keyMessage != nullptr && keyMessage->message == WM_KEYDOWN && keyMessage->wParam == VK_RETURN) {
            return result | DLGC_WANTMESSAGE;
        }
    } else if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        ::PostMessageW(::GetParent(window), self->openMessage_, 0, 0);
    }
    return result;
}

void FolderListBox::fitItemHeight() {
    HDC dc = ::GetDC(listBox_);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(listBox_, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, previous);
    ::ReleaseDC(listBox_, dc);
    const int height = std::max(static_cast<int>(metrics.tmHeight), iconSize_) + 2;
    ::SendMessageW(listBox_, LB_SETITEMHEIGHT, 0, height);
}

void FolderListBox::show(const FolderList& folders) {
    entries_ = folders.entries();
    ::SendMessageW(listBox_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(listBox_, LB_RESETCONTENT, 0, 0);
    int openDirectory = -1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        // The captions are kept as strings as well, so that the list reads like any other.
        ::SendMessageW(listBox_, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(lowio::win32::widen(entries_[i].caption).c_str()));
        if (entries_[i].kind == FolderList::EntryKind::Open) {
            openDirectory = static_cast<int>(i);
        }
    }
    if (openDirectory >= 0) {
        ::SendMessageW(listBox_, LB_SETCURSEL, static_cast<WPARAM>(openDirectory), 0);
        ::SendMessageW(listBox_, LB_SETTOPINDEX, static_cast<WPARAM>(openDirectory), 0);
    }
    ::SendMessageW(listBox_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(listBox_, nullptr, TRUE);
}

void FolderListBox::draw(const DRAWITEMSTRUCT& item) const {
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1) && item.itemID < entries_.size()) {
        const FolderList::Entry& entry = entries_[item.itemID];
        const int height = item.rcItem.bottom - item.rcItem.top;
        const int left = item.rcItem.left + 2 + entry.depth * indent_;
        ::DrawIconEx(item.hDC, left, item.rcItem.top + (height - iconSize_) / 2,
                     icons_[static_cast<std::size_t>(entry.kind)], iconSize_, iconSize_, 0, nullptr, DI_NORMAL);
        RECT text = item.rcItem;
        text.left = left + iconSize_ + 4;
        const bool disabled = (item.itemState & ODS_DISABLED) != 0;
        ::SetTextColor(item.hDC,
                       ::GetSysColor(disabled ? COLOR_GRAYTEXT : (selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT)));
        ::SetBkMode(item.hDC, TRANSPARENT);
        const std::wstring caption = lowio::win32::widen(entry.caption);
        ::DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
        ::DrawFocusRect(item.hDC, &item.rcItem);
    }
}

void FolderListBox::openHighlighted() {
    const LRESULT line = ::SendMessageW(listBox_, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR || static_cast<std::size_t>(line) >= entries_.size()) {
        return;
    }
    // A copy: opening rebuilds the lines.
    const std::string path = entries_[static_cast<std::size_t>(line)].path;
    if (!opener_(path)) {
        ::MessageBeep(MB_OK);
    }
}

} // namespace win32face
