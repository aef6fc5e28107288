// Leaving the process at once. std::_Exit skips static destructors and atexit handlers on
// purpose: the end may come from inside a nested event loop, where unwinding through the
// window toolkit's dispatch is not allowed.
#include "ProgramEnd.h"

#include <cstdio>
#include <cstdlib>

namespace rt {

void ProcessExit::end(int status) {
    // Everything the program writes goes through C's streams (the C++ ones, synchronised with
    // them, hold nothing of their own), so flushing those loses nothing.
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace rt
