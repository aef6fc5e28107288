// Runs the copy engine's driver as its own process, the way the end-to-end tests split a file.
#pragma once

#include <string>
#include <utility>

namespace e2e {

// The driver's summary line and its exit status. A tracer (shell words ending in a blank) starts
// the driver.
std::pair<std::string, int> runDriver(const std::string& arguments, const std::string& tracer = "");

// How many disks the summary says the run used; 0 when it does not say.
std::size_t disksUsed(const std::string& summary);

} // namespace e2e
