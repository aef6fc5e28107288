// Host paths on Windows: "\" separates, "X:\..." and "\\..." (a share, or the "\\?\" long form)
// are absolute, and names are compared ignoring letter case, as the file systems of Windows do
// (ASCII only: the program's own names are ASCII, other letters are left to the host).
#pragma once

#include "core/DosPath.h"

#include <string>
#include <string_view>

namespace rt::native {

inline constexpr char kSeparator = '\\';

inline bool isAbsolute(std::string_view path) {
    const bool driveRooted =
        path.size() >= 3 && core::dospath::hasDrivePrefix(path) && (path[2] == '\\' || path[2] == '/');
    return driveRooted || path.substr(0, 2) == "\\\\";
}

inline bool sameName(std::string_view a, std::string_view b) {
    return core::dospath::equalIgnoringCase(a, b);
}

// On Windows a doubled separator means something ("\\Server\Freigabe" is a share, and the
// program refuses such names), so it stays as it is.
inline std::string withSingleSeparators(std::string_view path) {
    return std::string(path);
}

} // namespace rt::native
