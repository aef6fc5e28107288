// A seam for tests: failures of the medium that a test cannot provoke with an ordinary file
// system (a flush or an early writeback that the device refuses). Production code never sets
// them; every flush and writeback asks here first.
#pragma once

#include "Io.h"

namespace lowio {

// From now on every flush fails with this error (0 ends it).
void failFlushesWith(SystemError error);
// From now on every early writeback fails with this error (0 ends it).
void failWritebacksWith(SystemError error);

namespace detail {
SystemError injectedFlushFailure();
SystemError injectedWritebackFailure();
} // namespace detail

} // namespace lowio
