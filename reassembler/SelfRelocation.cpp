// Telling the relocated copy from a program started by the user.
#include "SelfRelocation.h"

namespace quil {

Invocation parseInvocation(const std::vector<std::string>& words) {
    Invocation invocation;
    std::size_t first = 1;
    if (words.size() >= 3 && words[1] == kCopyOption) {
        invocation.originFolder = words[2];
        first = 3;
    }
    for (std::size_t index = first; index < words.size(); ++index) {
        invocation.arguments.push_back(words[index]);
    }
    return invocation;
}

} // namespace quil
