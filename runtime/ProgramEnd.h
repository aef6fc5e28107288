// Ending the program at once, from any depth. The real one stops the process without
// unwinding through the window toolkit's event dispatch; tests substitute one that throws.
#pragma once

namespace rt {

class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    [[noreturn]] virtual void end(int status) = 0;
};

// Flushes the standard streams and leaves the process with the given status.
class ProcessExit final : public ProgramEnd {
public:
    [[noreturn]] void end(int status) override;
};

// Thrown by ThrowingEnd so that a test can catch the end of the program at its edge.
struct ProgramEnded {
    int status;
};

class ThrowingEnd final : public ProgramEnd {
public:
    [[noreturn]] void end(int status) override { throw ProgramEnded{status}; }
};

} // namespace rt
