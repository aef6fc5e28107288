// Program facts that do not depend on the host.
#include "ProgramFacts.h"

namespace rt {

std::string withoutExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    // ".profile" is a name, not an extension.
    if (dot == std::string::npos || dot == 0) {
        return fileName;
    }
    return fileName.substr(0, dot);
}

} // namespace rt
