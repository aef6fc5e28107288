// A file number that is closed when it goes, whatever the close says: for files the run only
// reads, or is about to write anew, where a failing close tells nothing that matters.
#pragma once

#include "runtime/Files.h"
#include "runtime/RuntimeError.h"

namespace kopierer {

class ClosedOnExit {
public:
    ClosedOnExit(rt::Files& files, int number) : files_(files), number_(number) {}
    ~ClosedOnExit() {
        try {
            files_.close(number_, rt::Flush::Later);
        } catch (const rt::RuntimeError&) {
        }
    }
    ClosedOnExit(const ClosedOnExit&) = delete;
    ClosedOnExit& operator=(const ClosedOnExit&) = delete;

private:
    rt::Files& files_;
    int number_;
};

} // namespace kopierer
