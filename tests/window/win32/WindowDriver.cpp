// The driver's side of the window: everything goes through the controls' own messages, so the
// program sees what it would see from a user's mouse and keyboard.
#include "WindowDriver.h"

#include "form/FormLayout.h"
#include "lowio/win32/Wide.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace win32_window_tests {

namespace {

constexpr DWORD kMessageTimeout = 5000;

using lowio::win32::narrow;
using lowio::win32::widen;

// A word of the command line in quotes: the paths the tests pass hold no quote and do not end
// in a backslash, so nothing inside needs escaping.
std::wstring quoted(const std::string& word) {
    return L"\"" + widen(word) + L"\"";
}

LRESULT ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeout, &result) == 0) {
        throw std::runtime_error("the program does not answer message " + std::to_string(message));
    }
    return static_cast<LRESULT>(result);
}

struct Search {
    DWORD processId;
    bool wantBox;
    HWND found = nullptr;
};

BOOL CALLBACK visitTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window)) {
        return TRUE;
    }
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    const bool box = std::wstring(className) == L"#32770";
    if (box == search->wantBox) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND topLevelOf(DWORD processId, bool box) {
    Search search{processId, box};
    ::EnumWindows(visitTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The number the window gives a control, as the dialog manager knows it.
int numberOf(const char* name) {
    const std::optional<form::ControlId> id = form::controlNamed(name);
    if (!id) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return form::controlNumber(*id);
}

} // namespace

bool eventually(const std::function<bool()>& condition, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string windowText(HWND window) {
    const auto length = static_cast<int>(ask(window, WM_GETTEXTLENGTH));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ask(window, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return narrow(text);
}

WindowDriver::WindowDriver(const std::vector<std::string>& arguments, const std::string& workingFolder) {
    // The build names the program by its Linux path; Wine finds that below Z:. An installed one
    // (setup-under-wine.sh) comes by its Windows path.
    const char* installed = std::getenv("SPLITWERK_INSTALLED_PROGRAM");
    std::string program = installed != nullptr ? installed : SPLITWERK_PROGRAM;
    if (program.front() == '/') {
        program = "Z:" + program;
    }
    std::replace(program.begin(), program.end(), '/', '\\');
    std::wstring line = quoted(program);
    for (const std::string& argument : arguments) {
        line += L" " + quoted(argument);
    }
    const std::wstring folder = widen(workingFolder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &process_)) {
        throw std::runtime_error("SPLITWERK.exe does not start");
    }
    // Up when its window is visible, or a box comes first (the start-up's own messages).
    const auto up = [this] {
        window_ = topLevelOf(process_.dwProcessId, false);
        return window_ != nullptr || topLevelOf(process_.dwProcessId, true) != nullptr ||
               ::WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
    };
    eventually(up, 30000);
}

WindowDriver::~WindowDriver() {
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.hProcess, 99);
        ::WaitForSingleObject(process_.hProcess, 5000);
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

HWND WindowDriver::control(const char* name) const {
    HWND found = ::GetDlgItem(window_, numberOf(name));
    if (found == nullptr) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return found;
}

bool WindowDriver::checked(const char* name) const {
    return ask(control(name), BM_GETCHECK) == BST_CHECKED;
}

RECT WindowDriver::place(const char* name) const {
    RECT rect{};
    ::GetWindowRect(control(name), &rect);
    ::MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<std::string> WindowDriver::items(const char* name) const {
    HWND list = control(name);
    std::vector<std::string> entries(static_cast<std::size_t>(ask(list, CB_GETCOUNT)));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::wstring text(static_cast<std::size_t>(ask(list, CB_GETLBTEXTLEN, i)) + 1, L'\0');
        ask(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        entries[i] = narrow(text.c_str());
    }
    return entries;
}

int WindowDriver::selected(const char* name) const {
    return static_cast<int>(ask(control(name), CB_GETCURSEL));
}

void WindowDriver::choose(const char* name, int index) const {
    HWND list = control(name);
    // Queued, as a click is, for the choice may open a box; the mouse also tells the window.
    ::PostMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::PostMessageW(window_, WM_COMMAND, MAKEWPARAM(numberOf(name), CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::optional<Box> WindowDriver::awaitBox(int milliseconds) const {
    HWND box = nullptr;
    if (!eventually([&] { return (box = topLevelOf(process_.dwProcessId, true)) != nullptr; }, milliseconds)) {
        return std::nullopt;
    }
    // The box's text is the static control that MessageBox numbers 0xFFFF.
    HWND textControl = ::GetDlgItem(box, 0xFFFF);
    return Box{box, windowText(box), textControl != nullptr ? windowText(textControl) : std::string()};
}

void WindowDriver::answer(const Box& box, int button) const {
    HWND control = ::GetDlgItem(box.window, button);
    if (control == nullptr) {
        throw std::runtime_error("the box has no button " + std::to_string(button));
    }
    ::PostMessageW(control, BM_CLICK, 0, 0);
    eventually([&] { return ::IsWindow(box.window) == FALSE; }, 10000);
}

std::optional<unsigned long> WindowDriver::awaitExit(int milliseconds) const {
    if (::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

} // namespace win32_window_tests
