// Program facts that do not depend on the host.
#include "ProgramFacts.h"

#include "core/DiskSet.h"
#include "core/DosPath.h"

namespace rt {

std::string withoutExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    // ".profile" is a name, not an extension.
    if (dot == std::string::npos || dot == 0) {
        return fileName;
    }
    return fileName.substr(0, dot);
}

std::string ProgramFacts::shippedReassembler() const {
    std::string folder = dospath::withTrailingBackslash(programFolder);
    if (forWindowsPc) {
        folder += std::string(kWindowsReassemblerFolder) + "\\";
    }
    return folder + diskset::kShippedReassembler;
}

} // namespace rt
