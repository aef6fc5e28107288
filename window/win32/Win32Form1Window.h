// The Win32 face of Form1: it creates the controls as children of one window, numbered and
// placed from the form's layout table, forwards what the user does to the form and shows what
// the form holds whenever it reports a change.
#pragma once

#include "FolderListBox.h"
#include "Win32CaptionMeasure.h"
#include "form/Form1.h"
#include "form/TwipsScale.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>

class Win32Form1Window {
public:
    // Creates the window hidden, in the form's present state.
    Win32Form1Window(Form1& form, HINSTANCE instance);
    ~Win32Form1Window();
    Win32Form1Window(const Win32Form1Window&) = delete;
    Win32Form1Window& operator=(const Win32Form1Window&) = delete;

    HWND handle() const { return window_; }
    // A control by its name in the layout table ("Chk(2)", "Dir1"); nullptr for none.
    HWND control(const char* name) const;

    // Shows the window with the focus on OK.
    void show();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK inputProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

    void createWindow();
    void createControls();
    void placeControls();
    void moveControl(const char* name, PixelRect box);
    void onCommand(int id, int code);
    // Watches the boxes, options and lists for the messages that change them without a
    // notification (BM_SETCHECK, CB_SETCURSEL ...), which code and tools may send.
    void watchInputs();
    // Tells the form what an input control now shows.
    void reportInput(HWND source);
    void keepFocusUsable();

    void formChanged(FormPart part, int index);
    void showValues();
    void showVisibility();
    void showEnabled();
    void showUnitList();
    void showImage(int index);
    void showDrive();
    void showTip(int index);

    Form1& form_;
    HINSTANCE instance_;
    TwipsScale scale_;
    HWND window_ = nullptr;
    // Measures the captions and owns the font every control shows.
    std::unique_ptr<Win32CaptionMeasure> measure_;
    HICON ball_ = nullptr;
    HICON iconLarge_ = nullptr;
    HICON iconSmall_ = nullptr;
    std::map<std::string, HWND> controls_;
    std::unique_ptr<FolderListBox> dir1_;
    // The window procedures of the watched controls, each called first.
    std::map<HWND, WNDPROC> inputProcs_;
    // The control that had the focus when the window lost it, given it back on return.
    HWND lastFocus_ = nullptr;
    // Above 0 while the window shows the form's own changes, which must not come back as the
    // user's.
    int showing_ = 0;
};
