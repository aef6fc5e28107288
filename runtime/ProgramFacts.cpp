// Program facts that do not depend on the host.
#include "ProgramFacts.h"

#include "DriveMap.h"
#include "NativePath.h"

namespace rt {

std::string withoutExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    // ".profile" is a name, not an extension.
    if (dot == std::string::npos || dot == 0) {
        return fileName;
    }
    return fileName.substr(0, dot);
}

void ProgramFacts::takeProgramFile(const std::string& native, const DriveMap& drives) {
    programFileNative = native;
    programFile = drives.fromNative(native);
    const std::size_t separator = native.rfind(native::kSeparator);
    programName = withoutExtension(separator == std::string::npos ? native : native.substr(separator + 1));
    if (separator != std::string::npos) {
        // A program at the root keeps the separator: "/" and "C:", never "" or "C:".
        const std::string folder = native.substr(0, separator);
        const bool root = folder.empty() || (folder.size() == 2 && folder[1] == ':');
        programFolder = drives.fromNative(root ? native.substr(0, separator + 1) : folder);
    }
}

} // namespace rt
