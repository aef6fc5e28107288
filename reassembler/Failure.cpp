#include "Failure.h"

namespace quil {

void fail(ExitStatus status, std::string message) {
    throw Failure(status, std::move(message));
}

std::string concat(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const std::string_view piece : pieces) {
        text += piece;
    }
    return text;
}

} // namespace quil
