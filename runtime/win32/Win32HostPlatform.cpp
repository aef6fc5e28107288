// The Windows host's services.
#include "runtime/HostPlatform.h"

#include "Win32FileSystem.h"
#include "Win32LongPath.h"
#include "Win32SendTo.h"

#include <windows.h>

namespace rt {

std::unique_ptr<FileSystem> makeHostFileSystem() {
    return std::make_unique<Win32FileSystem>();
}

std::unique_ptr<ShellLink> makeHostShellLink(const DriveMap& drives) {
    return std::make_unique<Win32SendTo>(drives);
}

void prepareProcess() {
    // Without this, touching an empty floppy drive stops the program in a system box ("There is
    // no disk in the drive") instead of failing the call with ERROR_NOT_READY, which the copy
    // run answers with its own dialog. Bits set by whoever started the program are kept.
    constexpr UINT kQuiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
    const UINT previous = ::SetErrorMode(kQuiet);
    ::SetErrorMode(previous | kQuiet);
}

std::optional<std::string> workingFolder() {
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD length = needed == 0 ? 0 : ::GetCurrentDirectoryW(needed, folder.data());
    if (length == 0 || length >= needed) {
        return std::nullopt;
    }
    folder.resize(length);
    return win32::narrow(folder);
}

} // namespace rt
