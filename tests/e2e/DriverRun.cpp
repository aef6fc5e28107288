#include "DriverRun.h"

#include <cstdio>
#include <sys/wait.h>

namespace e2e {

std::pair<std::string, int> runDriver(const std::string& arguments, const std::string& tracer) {
    const std::string command = tracer + COPY_DRIVER + " " + arguments + " --quiet 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {"popen failed", -1};
    }
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pclose(pipe);
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::size_t disksUsed(const std::string& summary) {
    const auto at = summary.find("disks=");
    return at == std::string::npos ? 0 : std::stoul(summary.substr(at + 6));
}

} // namespace e2e
