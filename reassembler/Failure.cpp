#include "Failure.h"

namespace quil {

void fail(ExitStatus status, std::string message) {
    throw Failure(status, std::move(message));
}

} // namespace quil
