#include "../OpenForTest.h"

#include <fcntl.h>

namespace lowio_tests {

lowio::Handle openForTest(const std::string& path, Access access) {
    const int flags = access == Access::Read    ? O_RDONLY
                      : access == Access::Write ? O_WRONLY | O_CREAT | O_TRUNC
                                                : O_RDWR | O_CREAT;
    return lowio::Handle(::open(path.c_str(), flags | O_CLOEXEC, 0600));
}

} // namespace lowio_tests
