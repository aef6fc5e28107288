// What ends a reassembly early: a message for the user and the exit status it stands for.
#pragma once

#include "ReassemblerHost.h"
#include "core/DiskSet.h"

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace quil {

enum ExitStatus : int {
    kSuccess = 0,
    // The user declined, aborted or has to start again differently; nothing was written.
    kStopped = 1,
    // The set or the program itself is damaged, or the system refused a read or write.
    kDamaged = 2,
};

// A std::exception that keeps its message in a std::string of its own: std::runtime_error would
// link libstdc++'s second, reference-counted string into the Windows QUIL.SYS for its message.
class Failure : public std::exception {
public:
    Failure(ExitStatus status, std::string message) : message_(std::move(message)), status_(status) {}
    const char* what() const noexcept override { return message_.c_str(); }
    ExitStatus status() const noexcept { return status_; }

private:
    std::string message_;
    ExitStatus status_;
};

// Ends a reassembly early by throwing Failure. Out of line, so that QUIL.SYS holds the
// exception's construction and throw once rather than at each of the many places that end a run.
[[noreturn]] void fail(ExitStatus status, std::string message);

// Text made of pieces in one call. A chain of + makes a temporary string and its clean-up per
// piece, which the messages of the recovery check would add up to kilobytes of QUIL.SYS.
std::string concat(std::initializer_list<std::string_view> pieces);
// A count in decimal, as every number QUIL.SYS prints (one conversion for all integer types).
inline std::string decimal(std::int64_t value) {
    return std::to_string(static_cast<long long>(value));
}

// Bytes from a file name or trailer line made safe to print: control characters would move
// the cursor or ring the bell, so they are shown as "?".
using core::diskset::printable;

// A German description of a system error, for the few a user can act on.
using host::describeError;

} // namespace quil
