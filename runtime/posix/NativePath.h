// Host paths on POSIX: "/" separates, a path from the root is absolute, names are compared
// exactly as the file system does.
#pragma once

#include <string_view>

namespace rt::native {

inline constexpr char kSeparator = '/';

inline bool isAbsolute(std::string_view path) {
    return !path.empty() && path.front() == '/';
}

inline bool sameName(std::string_view a, std::string_view b) {
    return a == b;
}

} // namespace rt::native
