// Opening a file for the I/O layer's tests; each host opens its own way.
#pragma once

#include "lowio/Io.h"

#include <string>

namespace lowio_tests {

enum class Access { Read, Write, ReadWrite };
// Creates the file when it is missing; Write starts it empty.
lowio::Handle openForTest(const std::string& path, Access access);

} // namespace lowio_tests
