// QUIL.EXE as a child process on Windows: CreateProcessW with its standard handles on pipes,
// TMP and TEMP set in a copy of this process's environment.
#include "../QuilProcess.h"
#include "../QuilRun.h"

#include "reassembler/win32/CommandLine.h"
#include "reassembler/win32/ReassemblerText.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace quil_test {

namespace {

// This process's environment with TMP and TEMP replaced, as CreateProcessW wants it.
std::wstring environmentWithTemporary(const std::wstring& folder) {
    std::wstring block;
    wchar_t* strings = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        const std::wstring text = entry;
        const std::wstring upper = [&] {
            std::wstring name = text.substr(0, text.find(L'='));
            std::transform(name.begin(), name.end(), name.begin(), ::towupper);
            return name;
        }();
        if (upper != L"TMP" && upper != L"TEMP") {
            block += text;
            block += L'\0';
        }
    }
    ::FreeEnvironmentStringsW(strings);
    for (const wchar_t* name : {L"TMP=", L"TEMP="}) {
        block += name + folder;
        block += L'\0';
    }
    block += L'\0';
    return block;
}

} // namespace

struct QuilProcess::State {
    HANDLE process = nullptr;
    DWORD id = 0;
    HANDLE toChild = nullptr;
    HANDLE fromChild = nullptr;
};

QuilProcess::QuilProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& workingFolder, const std::filesystem::path& tmpFolder)
    : state_(std::make_unique<State>()) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childInput = nullptr;
    HANDLE childOutput = nullptr;
    if (!::CreatePipe(&childInput, &state_->toChild, &inheritable, 0) ||
        !::CreatePipe(&state_->fromChild, &childOutput, &inheritable, 0)) {
        throw std::runtime_error("CreatePipe failed");
    }
    // Only the child's ends are inherited; otherwise the output would never end.
    ::SetHandleInformation(state_->toChild, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(state_->fromChild, HANDLE_FLAG_INHERIT, 0);

    std::vector<std::wstring> words{program.wstring()};
    for (const std::string& argument : arguments) {
        words.push_back(quil::win32::widen(argument));
    }
    std::wstring line = quil::win32::commandLineOf(words);
    std::wstring environment = environmentWithTemporary(tmpFolder.wstring());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = childOutput;
    PROCESS_INFORMATION started{};
    const BOOL ok =
        ::CreateProcessW(program.wstring().c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                         environment.data(), workingFolder.wstring().c_str(), &startup, &started);
    ::CloseHandle(childInput);
    ::CloseHandle(childOutput);
    if (!ok) {
        throw std::runtime_error("CreateProcessW failed: " + std::to_string(::GetLastError()));
    }
    ::CloseHandle(started.hThread);
    state_->process = started.hProcess;
    state_->id = started.dwProcessId;
}

QuilProcess::~QuilProcess() {
    closeInput();
    if (state_->fromChild != nullptr) {
        ::CloseHandle(state_->fromChild);
    }
    if (state_->process != nullptr) {
        ::TerminateProcess(state_->process, 255);
        ::WaitForSingleObject(state_->process, INFINITE);
        ::CloseHandle(state_->process);
    }
}

bool QuilProcess::read(std::string& output, int timeoutMs) {
    // Anonymous pipes cannot be waited on; look every few milliseconds instead.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(state_->fromChild, nullptr, 0, nullptr, &available, nullptr)) {
            return false; // every writer has gone
        }
        if (available > 0) {
            char buffer[4096];
            DWORD got = 0;
            if (!::ReadFile(state_->fromChild, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr) ||
                got == 0) {
                return false;
            }
            output.append(buffer, got);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return true;
        }
        ::Sleep(10);
    }
}

void QuilProcess::write(const std::string& text) {
    DWORD written = 0;
    ::WriteFile(state_->toChild, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void QuilProcess::closeInput() {
    if (state_->toChild != nullptr) {
        ::CloseHandle(state_->toChild);
        state_->toChild = nullptr;
    }
}

void QuilProcess::kill() {
    ::TerminateProcess(state_->process, 255);
}

int QuilProcess::wait() {
    ::WaitForSingleObject(state_->process, INFINITE);
    DWORD status = 255;
    ::GetExitCodeProcess(state_->process, &status);
    ::CloseHandle(state_->process);
    state_->process = nullptr;
    return static_cast<int>(status);
}

int QuilProcess::id() const {
    return static_cast<int>(state_->id);
}

std::shared_ptr<void> makeUnreadable(const std::filesystem::path& path) {
    const HANDLE held = ::CreateFileW(path.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot hold " + path.string());
    }
    return std::shared_ptr<void>(held, [](void* handle) { ::CloseHandle(handle); });
}

std::string trailerFolder(const std::filesystem::path& folder) {
    return utf8Text(folder) + "\\";
}

} // namespace quil_test
