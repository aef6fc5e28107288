// Host differences of the tests on POSIX.
#include "support/HostFiles.h"

#include <cerrno>

namespace testing_support {

void hideFile(const std::filesystem::path&) {
    // The leading "." of the name hides it; nothing else hides a file here.
}

lowio::SystemError deviceFailureCode() {
    return EIO;
}

} // namespace testing_support
