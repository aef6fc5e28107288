// Message boxes on Windows. The buttons are the system's own, so they read "OK", "Abbrechen",
// "Ja", "Nein" on a German Windows without any translation of ours.
#include "Win32MessageBox.h"

#include "Win32LongPath.h"

#include <windows.h>

namespace rt {

namespace win32 {

std::wstring messageBoxText(const std::string& prompt) {
    std::string text;
    for (std::size_t i = 0; i < prompt.size(); ++i) {
        text += prompt[i];
        if (prompt[i] == '\r' && (i + 1 == prompt.size() || prompt[i + 1] != '\n')) {
            text += '\n';
        }
    }
    return widen(text);
}

int answerWithoutBox(int style) {
    switch (style & 0x0F) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
        return kResultCancel;
    case MB_YESNO:
        return kResultNo;
    default:
        return kResultOk;
    }
}

} // namespace win32

int Win32MessageBox::show(const std::string& prompt, int style, const std::string& title) {
    // Modal to the program's window when it has one; without one, to every window of the thread.
    HWND owner = ::GetActiveWindow();
    UINT flags = static_cast<UINT>(style);
    if (owner == nullptr) {
        flags |= MB_TASKMODAL;
    }
    const int answer = ::MessageBoxW(owner, win32::messageBoxText(prompt).c_str(), win32::widen(title).c_str(), flags);
    // 0 on failure (-1 under Wine without a display): no box was shown, none was answered.
    if (answer != IDOK && answer != IDCANCEL && answer != IDYES && answer != IDNO) {
        return win32::answerWithoutBox(style);
    }
    return answer;
}

} // namespace rt
