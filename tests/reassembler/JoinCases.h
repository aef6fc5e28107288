// Ways a join can fail at the medium, as a table: the shared ones, and those only one host can
// stage (a file the kernel lists with another length than it reads, say).
#pragma once

#include "support/InjectedFaults.h"
#include "support/TempDir.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

namespace quil_test {

struct JoinFailureCase {
    const char* name;
    std::function<void(testing_support::InjectedFaults&)> inject;
    std::size_t partSize;
    // Puts a first part into the folder by its own means and returns the length to restore;
    // empty: a part of partSize random bytes and that length.
    std::function<std::int64_t(const testing_support::TempDir&)> stagePart;
    const char* said;
};

// Test names and failure messages show the case by its name.
inline void PrintTo(const JoinFailureCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<JoinFailureCase> hostJoinFailureCases();

} // namespace quil_test
