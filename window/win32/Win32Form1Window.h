// The Win32 face of Form1: it creates the controls from the form's table as children of one
// window, numbered by their place in the table, forwards what the user does to the form and
// shows what the form holds whenever it reports a change.
#pragma once

#include "FolderListBox.h"
#include "Win32CaptionMeasure.h"
#include "form/Form1.h"
#include "form/TwipsScale.h"

#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <string>

namespace win32face {

class Win32Form1Window : private form::Face {
public:
    // Creates the window hidden, in the form's present state.
    Win32Form1Window(form::Form1& form, HINSTANCE instance);
    ~Win32Form1Window() override;
    Win32Form1Window(const Win32Form1Window&) = delete;
    Win32Form1Window& operator=(const Win32Form1Window&) = delete;

    HWND handle() const { return window_; }
    HWND item(form::ControlId id) const { return items_[form::slot(id)]; }

    // Shows the window with the focus on OK.
    void show();

private:
    // What a dialog class offers over its controls, one line each.
    LRESULT sendItemMessage(form::ControlId id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(item(id), message, wParam, lParam);
    }
    bool isChecked(form::ControlId id) const { return sendItemMessage(id, BM_GETCHECK) == BST_CHECKED; }
    void checkButton(form::ControlId id, bool on) const {
        sendItemMessage(id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED);
    }
    int selectedItem(form::ControlId id) const { return static_cast<int>(sendItemMessage(id, CB_GETCURSEL)); }
    void selectItem(form::ControlId id, int index) const {
        sendItemMessage(id, CB_SETCURSEL, static_cast<WPARAM>(index));
    }
    std::string itemText(form::ControlId id) const;
    void setItemText(form::ControlId id, const std::string& text) const;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK inputProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

    void createWindow();
    void createControls();
    void placeControls();
    void moveControl(form::ControlId id, form::PixelRect box);
    void onCommand(int number, int code);
    // Watches the boxes, options and lists for the messages that change them without a
    // notification (BM_SETCHECK, CB_SETCURSEL ...), which code and tools may send.
    void watchInputs();
    // Tells the form what an input control now shows.
    void reportInput(form::ControlId id);
    void keepFocusUsable();

    void showCaption() override;
    void showControl(form::ControlId id) override;
    void showValue(form::ControlId id);
    void showState(form::ControlId id);
    void showOptions();
    void showUnitList();
    void showImage(int index);
    void showTip(int index);

    form::Form1& form_;
    HINSTANCE instance_;
    form::TwipsScale scale_;
    HWND window_ = nullptr;
    // Measures the captions and owns the font every control shows.
    std::unique_ptr<Win32CaptionMeasure> measure_;
    HICON ball_ = nullptr;
    HICON iconLarge_ = nullptr;
    HICON iconSmall_ = nullptr;
    std::array<HWND, form::kControlCount> items_{};
    std::unique_ptr<FolderListBox> dir1_;
    // The window procedures of the watched controls, each called first.
    std::map<HWND, WNDPROC> inputProcs_;
    // The control that had the focus when the window lost it, given it back on return.
    HWND lastFocus_ = nullptr;
    // Above 0 while the window shows the form's own changes, which must not come back as the
    // user's.
    int showing_ = 0;
};

} // namespace win32face
