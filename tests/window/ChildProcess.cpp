// Fork, report through a pipe, wait with a time limit.
#include "ChildProcess.h"

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace window_tests {

namespace {

constexpr const char* kChildFd = "SPLITWERK_WINDOW_CHILD_FD";
constexpr const char* kChildBase = "SPLITWERK_WINDOW_CHILD_BASE";
// The test program itself, whatever folder the test has made its working folder.
constexpr const char* kProgram = "/proc/self/exe";
std::string nextBase;

} // namespace

bool isChild() {
    return std::getenv(kChildFd) != nullptr;
}

std::string childBase() {
    const char* base = std::getenv(kChildBase);
    return base != nullptr ? base : "";
}

void setChildBase(const std::string& base) {
    nextBase = base;
}

void ChildReport::line(const std::string& text) const {
    std::string out = text;
    std::replace(out.begin(), out.end(), '\n', ' ');
    ::dprintf(fd_, "%s\n", out.c_str());
}

ChildOutcome runInChild(const std::function<void(const ChildReport&)>& body, int timeoutSeconds) {
    ChildOutcome outcome;
    if (isChild()) {
        const ChildReport report(std::atoi(std::getenv(kChildFd)));
        try {
            body(report);
        } catch (const std::exception& error) {
            report.line(std::string("exception: ") + error.what());
        }
        ::_exit(97);
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        return outcome;
    }
    const ::testing::TestInfo* const test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    // The child runs the whole test again and takes its first scenario: one per test.
    static const ::testing::TestInfo* lastTest = nullptr;
    if (lastTest == test) {
        ADD_FAILURE() << "one child scenario per test";
        ::close(fds[0]);
        ::close(fds[1]);
        return outcome;
    }
    lastTest = test;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::setenv(kChildFd, std::to_string(fds[1]).c_str(), 1);
        ::setenv(kChildBase, nextBase.c_str(), 1);
        // The child's own test report would only clutter the parent's.
        if (std::freopen("/dev/null", "w", stdout) == nullptr) {
            ::_exit(95);
        }
        ::execl(kProgram, kProgram, filter.c_str(), static_cast<char*>(nullptr));
        ::_exit(94);
    }
    ::close(fds[1]);
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    for (;;) {
        pollfd pfd{fds[0], POLLIN, 0};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            ::kill(pid, SIGKILL);
            break;
        }
        if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
        if (got <= 0) {
            break; // the child is gone
        }
        received.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::size_t start = 0;
    while (start < received.size()) {
        const std::size_t end = received.find('\n', start);
        outcome.lines.push_back(received.substr(start, end - start));
        start = end == std::string::npos ? received.size() : end + 1;
    }
    return outcome;
}

} // namespace window_tests
