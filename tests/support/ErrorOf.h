// The error number an action fails with, 0 when it succeeds: for tables of expected errors.
#pragma once

#include "runtime/RuntimeError.h"

#include <functional>

namespace testing_support {

inline int errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const rt::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

} // namespace testing_support
