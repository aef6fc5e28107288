// SPLITWERK.exe started without a file, as a new user starts it: the Send To link appears, the
// usage text is shown in a box of its own, and the window never is. Needs a display (Xvfb).
#include "runtime/win32/Wide.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <string>

namespace {

struct Found {
    DWORD process;
    const wchar_t* className;
    HWND window = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM data) {
    auto* wanted = reinterpret_cast<Found*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (owner == wanted->process && ::IsWindowVisible(window) && std::wstring(name) == wanted->className) {
        wanted->window = window;
        return FALSE;
    }
    return TRUE;
}

HWND visibleWindowOf(DWORD process, const wchar_t* className) {
    Found found{process, className};
    ::EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

TEST(StartWithoutFileTest, TheLinkIsMadeAndTheUsageTextShownInsteadOfTheWindow) {
    wchar_t sendTo[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_SENDTO, nullptr, 0, sendTo), S_OK);
    const std::wstring link = std::wstring(sendTo) + L"\\Splitwerk 99.lnk";
    ::DeleteFileW(link.c_str());

    std::string program = "Z:" SPLITWERK_BUILD_DIR "/SPLITWERK.exe";
    std::replace(program.begin(), program.end(), '/', '\\');
    std::wstring commandLine = L"\"" + rt::win32::widen(program) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(
        ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        << program;

    HWND box = nullptr;
    for (int tries = 0; tries < 300 && box == nullptr; ++tries) {
        ::Sleep(100);
        box = visibleWindowOf(started.dwProcessId, L"#32770");
    }
    ASSERT_NE(box, nullptr) << "no usage box within 30 s";
    wchar_t text[1024] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 1024);
    EXPECT_EQ(rt::win32::narrow(text).rfind("Sie haben Splitwerk 99 falsch\r\ngestartet.", 0), 0U)
        << rt::win32::narrow(text);
    EXPECT_EQ(::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES, true) << "no link before the box";
    EXPECT_EQ(visibleWindowOf(started.dwProcessId, L"Splitwerk99Form1"), nullptr);

    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(::WaitForSingleObject(started.hProcess, 30000), WAIT_OBJECT_0);
    DWORD status = 1;
    ::GetExitCodeProcess(started.hProcess, &status);
    EXPECT_EQ(status, 0U);
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
}

} // namespace
