// Runs a command line through the shell, for the tests that start the system's tools or a program
// of the build: what it wrote to its standard output, and its exit status (-1: it did not exit).
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <utility>

namespace testing_support {

inline std::pair<std::string, int> commandOutput(const std::string& commandLine) {
    FILE* pipe = ::popen(commandLine.c_str(), "r");
    if (pipe == nullptr) {
        return {"popen failed", -1};
    }
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = ::pclose(pipe);
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

} // namespace testing_support
