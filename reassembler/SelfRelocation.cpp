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
    if (words.size() > first && words[first] == kWaitOption) {
        invocation.waitAtEnd = true;
        ++first;
    }
    for (std::size_t index = first; index < words.size(); ++index) {
        invocation.arguments.push_back(words[index]);
    }
    return invocation;
}

bool namesSetProgram(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string upper;
    for (const char c : name) {
        upper += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return upper == kCopyName;
}

} // namespace quil
