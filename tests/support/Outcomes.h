// How an action came out, for tables of expected results: the error number it failed with, or
// the status the program ended with.
#pragma once

#include "runtime/ProgramEnd.h"
#include "runtime/RuntimeError.h"

#include <gtest/gtest.h>

#include <functional>

namespace testing_support {

// The error number an action fails with, 0 when it succeeds.
inline int errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const rt::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

// The status the action ended the program with; a failure of the test when it did not end it.
inline int endStatusOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const rt::ProgramEnded& ended) {
        return ended.status;
    }
    ADD_FAILURE() << "the program did not end";
    return -1;
}

} // namespace testing_support
