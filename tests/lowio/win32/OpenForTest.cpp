#include "../OpenForTest.h"

#include <windows.h>

namespace lowio_tests {

lowio::Handle openForTest(const std::string& path, Access access) {
    const DWORD rights = access == Access::Read    ? GENERIC_READ
                         : access == Access::Write ? GENERIC_WRITE
                                                   : GENERIC_READ | GENERIC_WRITE;
    const DWORD disposition = access == Access::Read    ? OPEN_EXISTING
                              : access == Access::Write ? CREATE_ALWAYS
                                                        : OPEN_ALWAYS;
    return lowio::Handle(::CreateFileA(path.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace lowio_tests
