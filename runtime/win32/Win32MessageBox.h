// The modal message box of Windows: MessageBoxW with the program's style codes, which are
// MessageBox flags already (16 = MB_ICONHAND | MB_OK, 292 = MB_ICONQUESTION | MB_YESNO |
// MB_DEFBUTTON2, ...), and its results, which are the program's result codes.
#pragma once

#include "runtime/MessageBox.h"

#include <string>

namespace rt {

class Win32MessageBox final : public MessageBoxService {
public:
    int show(const std::string& prompt, int style, const std::string& title) override;
};

namespace win32 {

// The prompt as MessageBoxW shows it: every lone CR, the program's line break, becomes CR LF.
std::wstring messageBoxText(const std::string& prompt);

// What a box answers when it cannot be shown at all: what closing it would answer (Cancel
// where it has that button, else No, else OK).
int answerWithoutBox(int style);

} // namespace win32

} // namespace rt
