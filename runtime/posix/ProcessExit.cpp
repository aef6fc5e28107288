// Leaving the process at once. _exit skips static destructors and atexit handlers on
// purpose: the end may come from inside a nested event loop, where unwinding through the
// window toolkit's dispatch is not allowed.
#include "runtime/ProgramEnd.h"

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace rt {

void ProcessExit::end(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(status);
}

} // namespace rt
