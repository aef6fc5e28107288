// The host's second processor for the copy run: a thread that takes one job at a time.
#pragma once

#include "core/Worker.h"

#include <memory>

namespace rt {

// Nothing where the computer has one processor (a thread would only take turns with the run)
// or no thread can be had: the caller then does the work itself.
std::unique_ptr<core::Worker> makeWorker();

} // namespace rt
