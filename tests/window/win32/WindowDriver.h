// Drives the real SPLITWERK.exe as a user would, from another process: it finds the window and
// its controls by their numbers, clicks by posting the controls' own messages, reads texts,
// states and places, and answers the program's message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace win32_window_tests {

// Text of another process's window, through its own WM_GETTEXT.
std::string windowText(HWND window);

// A message box the program shows.
struct Box {
    HWND window = nullptr;
    std::string title;
    std::string text; // UTF-8, line breaks as the box shows them
};

class WindowDriver {
public:
    // Starts the program on the arguments in the working folder and waits until its window is
    // up; a program that ends before that (a start-up message) leaves window() empty.
    WindowDriver(const std::vector<std::string>& arguments, const std::string& workingFolder);
    ~WindowDriver();
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    HWND window() const { return window_; }
    // A control by its name in the layout table ("Chk(1)", "Dir1").
    HWND control(const char* name) const;
    std::string text(const char* name) const { return windowText(control(name)); }
    bool visible(const char* name) const { return ::IsWindowVisible(control(name)) != FALSE; }
    bool enabled(const char* name) const { return ::IsWindowEnabled(control(name)) != FALSE; }
    bool checked(const char* name) const;
    // The control's place in the window's client area, in pixels.
    RECT place(const char* name) const;
    // The entries of a drop-down list, and the selected one's index.
    std::vector<std::string> items(const char* name) const;
    int selected(const char* name) const;

    // What a user does: a click (queued, so that a box it opens does not block the driver), and
    // choosing an entry of a drop-down list.
    void click(const char* name) const { ::PostMessageW(control(name), BM_CLICK, 0, 0); }
    void choose(const char* name, int index) const;

    // The next box of the program, or nothing when none comes within the time.
    std::optional<Box> awaitBox(int milliseconds = 20000) const;
    // Presses a button of the box (IDOK, IDYES, IDNO, ...) and waits until it is gone.
    void answer(const Box& box, int button) const;
    // The program's exit code once it has ended, or nothing while it runs on.
    std::optional<unsigned long> awaitExit(int milliseconds = 20000) const;

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// Polls until the condition holds or the time is up: the window acts on posted clicks in its
// own time.
bool eventually(const std::function<bool()>& condition, int milliseconds = 5000);

} // namespace win32_window_tests
