// The lock is a named mutex of the user's session: the system deletes it when the last handle
// to it closes, which the end of the process does whatever way it ends. No file is made.
#include "runtime/TargetLock.h"

#include <functional>
#include <windows.h>

namespace rt {

namespace {

class MutexLock final : public TargetLock {
public:
    explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
    ~MutexLock() override { ::CloseHandle(mutex_); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    HANDLE mutex_;
};

} // namespace

std::unique_ptr<TargetLock> lockTarget(const std::string& space, const std::string& key) {
    // A mutex name may not hold a backslash past the namespace, and is at most MAX_PATH long:
    // the hashes name it. The program's own space keeps the name earlier versions used.
    const std::wstring spaceName = space.empty() ? L"Splitwerk99-Prozess-" + std::to_wstring(::GetCurrentProcessId())
                                   : space == kProgramLockSpace
                                       ? std::wstring(L"Splitwerk99")
                                       : L"Splitwerk99-" + std::to_wstring(std::hash<std::string>{}(space));
    const std::wstring name = L"Local\\" + spaceName + L"-Ziel-" + std::to_wstring(std::hash<std::string>{}(key));
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) {
        return nullptr;
    }
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return nullptr;
    }
    return std::make_unique<MutexLock>(mutex);
}

} // namespace rt
