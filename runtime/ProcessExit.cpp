// Leaving the process at once. std::_Exit skips static destructors and atexit handlers on
// purpose: the end may come from inside a nested event loop, where unwinding through the
// window toolkit's dispatch is not allowed.
#include "ProgramEnd.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace rt {

void ProcessExit::end(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

} // namespace rt
