// The yield of the copy run: it empties the queue and returns, it never waits for a message.
#include "Win32EventPump.h"

namespace rt {

void dispatchMessage(HWND dialog, MSG& message) {
    if (dialog != nullptr && ::IsDialogMessageW(dialog, &message)) {
        return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

void Win32EventPump::doEvents() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Whoever asked to quit meant the message loop, which must still see it.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatchMessage(dialog_, message);
    }
}

} // namespace rt
