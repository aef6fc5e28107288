// Host paths on POSIX: "/" separates, a path from the root is absolute, names are compared
// exactly as the file system does.
#pragma once

#include <string>
#include <string_view>

namespace rt::native {

inline constexpr char kSeparator = '/';

inline bool isAbsolute(std::string_view path) {
    return !path.empty() && path.front() == '/';
}

inline bool sameName(std::string_view a, std::string_view b) {
    return a == b;
}

// Linux reads "//" anywhere in a path, the start included, as one "/": "//home/u/a.zip" names
// "/home/u/a.zip". Written with drive letters a doubled separator would read as a network
// name and be refused, so a host path is reduced to single separators first.
inline std::string withSingleSeparators(std::string_view path) {
    std::string single;
    single.reserve(path.size());
    for (const char c : path) {
        if (c != kSeparator || single.empty() || single.back() != kSeparator) {
            single += c;
        }
    }
    return single;
}

} // namespace rt::native
