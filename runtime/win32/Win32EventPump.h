// Yield on Windows: every message waiting in the queue is handled before the run goes on, each
// through the dialog manager of the program's window, so that Tab, Alt with a letter and Enter
// keep working while the copy run is busy.
#pragma once

#include "runtime/EventPump.h"

#include <windows.h>

namespace rt {

class Win32EventPump final : public EventPump {
public:
    // The window whose dialog keys the pump handles; none until the window exists.
    void setDialogWindow(HWND window) { dialog_ = window; }
    void doEvents() override;

private:
    HWND dialog_ = nullptr;
};

// One message as the program's message loop handles it: through the dialog manager of the
// window when it has one, else translated and dispatched.
void dispatchMessage(HWND dialog, MSG& message);

} // namespace rt
