#include "DriverRun.h"
#include "support/Command.h"

namespace e2e {

std::pair<std::string, int> runDriver(const std::string& arguments, const std::string& tracer) {
    return testing_support::commandOutput(tracer + COPY_DRIVER + " " + arguments + " --quiet 2>&1");
}

std::size_t disksUsed(const std::string& summary) {
    const auto at = summary.find("disks=");
    return at == std::string::npos ? 0 : std::stoul(summary.substr(at + 6));
}

} // namespace e2e
