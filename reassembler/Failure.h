// What ends a reassembly early: a message for the user and the exit status it stands for.
#pragma once

#include "Host.h"
#include "core/DiskSet.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace quil {

enum ExitStatus : int {
    kSuccess = 0,
    // The user declined, aborted or has to start again differently; nothing was written.
    kStopped = 1,
    // The set or the program itself is damaged, or the system refused a read or write.
    kDamaged = 2,
};

class Failure : public std::runtime_error {
public:
    Failure(ExitStatus status, const std::string& message) : std::runtime_error(message), status_(status) {}
    ExitStatus status() const noexcept { return status_; }

private:
    ExitStatus status_;
};

// Bytes from a file name or trailer line made safe to print: control characters would move
// the cursor or ring the bell, so they are shown as "?".
using diskset::printable;

// A German description of a system error, for the few a user can act on.
using host::describeError;

} // namespace quil
