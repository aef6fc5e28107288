// "Senden an" on Windows: a shell link written with IShellLinkW and saved with IPersistFile,
// the way the shell itself makes shortcuts, so Explorer shows it with the program's icon.
#include "Win32SendTo.h"

#include "NativePath.h"
#include "Win32LongPath.h"
#include "runtime/DriveMap.h"
#include "runtime/RuntimeError.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

namespace rt {

namespace {

// Releases a COM interface when it goes.
template <class Interface> class Released {
public:
    Released() = default;
    ~Released() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    Released(const Released&) = delete;
    Released& operator=(const Released&) = delete;
    Interface* operator->() const { return pointer_; }
    void** out() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

// COM for the calls of one create(); a thread that already uses another apartment model is
// served by that one.
class ComScope {
public:
    ComScope() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) {
            ::CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

// The CSIDL call, not the known-folder one, which came with Vista.
std::string userProgramsFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return {};
    }
    return win32::narrow(path);
}

bool isFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A name that is one file name and nothing more.
bool isPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:*?\"<>|\r\n\t") == std::string::npos;
}

// Creates the folder and its missing parents; true when it is there afterwards.
bool makeFolders(const std::wstring& folder) {
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    const std::size_t slash = folder.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash < 3) {
        return false;
    }
    return makeFolders(folder.substr(0, slash)) &&
           (::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
}

std::wstring plainFullPath(const std::string& path) {
    return win32::withoutLongPathPrefix(win32::longPath(path));
}

} // namespace

Win32SendTo::Win32SendTo(const DriveMap& drives, std::string programsFolder)
    : drives_(drives), programsFolder_(programsFolder.empty() ? userProgramsFolder() : std::move(programsFolder)) {}

std::string Win32SendTo::linkPath(const std::string& folder, const std::string& name) const {
    if (!isPlainName(name) || programsFolder_.empty()) {
        return {};
    }
    std::string relative = folder;
    std::replace(relative.begin(), relative.end(), '/', '\\');
    const std::string place = native::isAbsolute(relative) ? relative : programsFolder_ + "\\" + relative;
    try {
        // Resolving "..\.." here also checks the text: a name Windows cannot hold is no place.
        return win32::narrow(plainFullPath(place + "\\" + name + ".lnk"));
    } catch (const RuntimeError&) {
        return {};
    }
}

int Win32SendTo::create(const std::string& folder, const std::string& name, const std::string& target,
                        const std::string& arguments) {
    const std::string link = linkPath(folder, name);
    if (link.empty()) {
        return 0;
    }
    std::wstring program;
    try {
        program = plainFullPath(drives_.toNative(target));
    } catch (const RuntimeError&) {
        return 0;
    }
    // As the shell completes a command: "splitwerk" means "splitwerk.exe" when only that exists.
    if (!isFile(program) && isFile(program + L".exe")) {
        program += L".exe";
    }
    const std::wstring linkFile = win32::widen(link);
    if (!makeFolders(linkFile.substr(0, linkFile.find_last_of(L'\\')))) {
        return 0;
    }

    const ComScope com;
    if (!com.usable()) {
        return 0;
    }
    Released<IShellLinkW> shellLink;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.out()))) {
        return 0;
    }
    const std::wstring workingFolder = program.substr(0, program.find_last_of(L'\\'));
    Released<IPersistFile> file;
    const bool ok = SUCCEEDED(shellLink->SetPath(program.c_str())) &&
                    SUCCEEDED(shellLink->SetArguments(win32::widen(arguments).c_str())) &&
                    SUCCEEDED(shellLink->SetWorkingDirectory(workingFolder.c_str())) &&
                    SUCCEEDED(shellLink->SetDescription(win32::widen(name).c_str())) &&
                    SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, file.out())) &&
                    SUCCEEDED(file->Save(linkFile.c_str(), TRUE));
    return ok ? 1 : 0;
}

} // namespace rt
