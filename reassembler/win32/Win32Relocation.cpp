// Self-relocation on Windows. A running program cannot delete its own file, and Windows has no
// exec that replaces a process, so the program started from the disk copies itself into a
// private folder in %TEMP%, starts the copy on the same console and standard handles, steps
// off the disk, waits for the copy and ends with its status; then it removes the copy and its
// folder. The original's own pages come from the swap file (see RunFromSwap.cmake), so the
// disk is free for the next one while it waits.
#include "reassembler/ReassemblerHost.h"

#include "CommandLine.h"
#include "ReassemblerText.h"
#include "reassembler/Failure.h"
#include "reassembler/SelfRelocation.h"

#include <windows.h>

namespace quil::host {

namespace {

using win32::longPath;
using win32::narrow;
using win32::widen;

std::string temporaryRoot() {
    wchar_t root[MAX_PATH + 2];
    const DWORD length = ::GetTempPathW(MAX_PATH + 2, root);
    if (length == 0 || length > MAX_PATH + 1) {
        return {};
    }
    return narrow(std::wstring(root, length));
}

void removeCopy(const std::wstring& copy, const std::wstring& folder);

// The running copy, for the console handler below.
HANDLE runningCopy = nullptr;
std::wstring runningCopyFile;
std::wstring runningCopyFolder;

// While the copy runs, Ctrl-C belongs to the copy, which removes its half-written file. The
// original only keeps waiting, so that it can remove the copy afterwards. A closed console
// window ends the original soon after this returns, so then the copy (which ends at once on
// the same event) is waited for and removed here.
BOOL WINAPI waitForCopy(DWORD event) {
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        ::WaitForSingleObject(runningCopy, 3000);
        removeCopy(runningCopyFile, runningCopyFolder);
    }
    return TRUE;
}

void removeCopy(const std::wstring& copy, const std::wstring& folder) {
    // The system may hold the program's file a moment after the process has ended.
    for (int attempt = 0; attempt < 100; ++attempt) {
        ::SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (::DeleteFileW(copy.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND) {
            break;
        }
        ::Sleep(20);
    }
    ::RemoveDirectoryW(folder.c_str());
}

void makeInheritable(HANDLE handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
        ::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
}

} // namespace

std::string ownExecutable() {
    return narrow(lowio::win32::ownModuleFile());
}

std::string ownProgramFile() {
    return ownExecutable();
}

Relocation relocate(const std::vector<std::string>& arguments, const std::string& originFolder) {
    const std::string root = temporaryRoot();
    if (root.empty()) {
        return {std::nullopt, "kein temporärer Ordner: " + describeError(static_cast<int>(::GetLastError()))};
    }
    std::string folder;
    DWORD error = 0;
    for (unsigned attempt = 0; attempt < 1000 && folder.empty(); ++attempt) {
        const std::string candidate = joinPath(root, std::string(kCopyFolderPrefix) + win32::uniqueSuffix(attempt));
        if (::CreateDirectoryW(longPath(candidate).c_str(), nullptr)) {
            folder = candidate;
        } else if (error = ::GetLastError(); error != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    if (folder.empty()) {
        return {std::nullopt, "kein temporärer Ordner in " + root + ": " + describeError(static_cast<int>(error))};
    }
    const std::string copy = joinPath(folder, kCopyName);
    const std::wstring wideCopy = longPath(copy);
    const std::wstring wideFolder = longPath(folder);
    const auto failed = [&](DWORD why) {
        removeCopy(wideCopy, wideFolder);
        return Relocation{std::nullopt, "die Kopie in " + root +
                                            " lässt sich nicht starten: " + describeError(static_cast<int>(why))};
    };
    if (!::CopyFileW(longPath(ownExecutable()).c_str(), wideCopy.c_str(), TRUE)) {
        return failed(::GetLastError());
    }
    // CopyFileW keeps the attributes, and QUIL.EXE on a disk is often read-only: a read-only
    // copy could not be removed afterwards.
    ::SetFileAttributesW(wideCopy.c_str(), FILE_ATTRIBUTE_NORMAL);

    std::vector<std::wstring> words{widen(copy), widen(kCopyOption), widen(originFolder)};
    for (const std::string& argument : arguments) {
        words.push_back(widen(argument));
    }
    std::wstring line = win32::commandLineOf(words);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        makeInheritable(handle);
    }
    PROCESS_INFORMATION process{};
    // The copy starts in the current folder, so that a relative folder argument means what the
    // user meant.
    if (!::CreateProcessW(widen(copy).c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return failed(::GetLastError());
    }
    runningCopy = process.hProcess;
    runningCopyFile = wideCopy;
    runningCopyFolder = wideFolder;
    ::SetConsoleCtrlHandler(waitForCopy, TRUE);
    ::CloseHandle(process.hThread);
    // Nothing of the original may keep the disk busy while the copy asks for the next one.
    leaveWorkingFolder();
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = kDamaged;
    if (!::GetExitCodeProcess(process.hProcess, &status)) {
        status = kDamaged;
    }
    removeCopy(wideCopy, wideFolder);
    ::SetConsoleCtrlHandler(waitForCopy, FALSE);
    ::CloseHandle(process.hProcess);
    return {static_cast<int>(status), {}};
}

} // namespace quil::host
