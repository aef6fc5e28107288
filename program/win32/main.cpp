// Splitwerk 99 for Windows: the program's entry. The command line is the path of the one file
// to carry, exactly as the Send To menu passes it.
#include "app/FormLoad.h"
#include "core/SourceSelection.h"
#include "form/Form1.h"
#include "runtime/HostServices.h"
#include "runtime/Runtime.h"
#include "runtime/win32/Win32EventPump.h"
#include "runtime/win32/Win32MessageBox.h"
#include "window/win32/Win32Form1Window.h"

#include <windows.h>

#include <commctrl.h>

namespace {

// The progress bar's class, from the common controls the manifest names. The function is
// looked up rather than imported: its documentation names Vista as the oldest client, though
// every comctl32 since 4.70 has it, and the shipped program imports only what XP is documented
// to have.
void registerProgressBar() {
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE controls = ::LoadLibraryW(L"comctl32.dll");
    if (controls == nullptr) {
        return;
    }
    const auto init =
        reinterpret_cast<InitControls>(reinterpret_cast<void*>(::GetProcAddress(controls, "InitCommonControlsEx")));
    if (init != nullptr) {
        INITCOMMONCONTROLSEX classes{};
        classes.dwSize = sizeof(classes);
        classes.dwICC = ICC_PROGRESS_CLASS;
        init(&classes);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // First of all: an empty drive must come back as "not ready", never as a system box.
    rt::HostServices host;
    registerProgressBar();

    rt::Win32MessageBox messageBox;
    rt::Win32EventPump events;
    // The wide command line and the module file; main's narrow arguments are not used.
    rt::Runtime runtime(host.parts(rt::ProgramFacts::fromProcess(0, nullptr, host.drives()), messageBox, events));

    core::SourceSelection source;
    form::Form1 form(runtime, source);
    // Built hidden; the usage text, a rejection and an unhandled error end the program inside
    // the load handler, before the window is ever shown.
    win32face::Win32Form1Window window(form, instance);
    events.setDialogWindow(window.handle());
    runtime.runGuarded([&] { app::Form_Load(form, runtime, source); });
    window.show();

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        rt::dispatchMessage(window.handle(), message);
    }
    // The window's own handlers end the program; reaching this point means the loop stopped
    // some other way, so leave through the runtime as well.
    runtime.end(0);
}
