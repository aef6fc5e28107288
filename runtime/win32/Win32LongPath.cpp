// Long paths for the runtime's file calls.
#include "Win32LongPath.h"

#include "Win32Errors.h"
#include "runtime/RuntimeError.h"

#include <windows.h>

namespace rt::win32 {

std::wstring longPath(const std::string& path) {
    std::wstring full;
    const lowio::SystemError error = lowio::win32::longPath(path, full);
    if (error == ERROR_NO_UNICODE_TRANSLATION) {
        raise(kPathNotFound); // a name no Windows file can have
    }
    if (error != 0) {
        raiseWin32(static_cast<DWORD>(error));
    }
    return full;
}

} // namespace rt::win32
