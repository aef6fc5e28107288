// Runs a scenario that ends the program in a child process: the real end leaves the process
// at once, which a test must not do to itself. The child is this test program started anew
// for the one test (a forked copy of a Qt program would wait forever for the painting threads
// it did not inherit); it runs the body, reports through a pipe, one line at a time, and the
// parent gets the exit status and the lines. Folders the child must share with the parent go
// through childBase().
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace window_tests {

class ChildReport {
public:
    explicit ChildReport(int fd) : fd_(fd) {}
    void line(const std::string& text) const;

private:
    int fd_;
};

struct ChildOutcome {
    int status = -1; // exit status when it left by its own exit; -1 when it was killed
    std::vector<std::string> lines;
};

// The body must end the process itself; returning from it counts as exit status 97.
ChildOutcome runInChild(const std::function<void(const ChildReport&)>& body, int timeoutSeconds = 30);

// True in the child; the test then only runs the body.
bool isChild();
// The parent's folder for the scenario, handed to the child; empty in the parent.
std::string childBase();
// Sets the folder the next child gets as its childBase().
void setChildBase(const std::string& base);

} // namespace window_tests
