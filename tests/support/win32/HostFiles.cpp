// Host differences of the tests on Windows.
#include "support/HostFiles.h"

#include <windows.h>

#include <stdexcept>

namespace testing_support {

void hideFile(const std::filesystem::path& file) {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        !::SetFileAttributesW(file.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN)) {
        throw std::runtime_error("cannot hide " + file.string());
    }
}

lowio::SystemError deviceFailureCode() {
    return ERROR_WRITE_FAULT;
}

} // namespace testing_support
