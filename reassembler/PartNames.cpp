// A case-insensitive lookup of part names that holds the folder open only while listing it.
// The folder's own listing decides, not an open by name: where two spellings of a name lie
// side by side (a FAT folder seen from Linux, a Linux folder seen from Wine), an open by a
// name the folder does not hold exactly may reach either file.
#include "PartNames.h"
#include "core/DosPath.h"

#include <vector>

namespace quil {

namespace {

bool isRegularFile(const std::string& path) {
    return host::factsOf(path).kind == host::FileFacts::Kind::Regular;
}

} // namespace

std::optional<std::string> findPart(const std::string& folder, const std::string& name) {
    const std::string exact = joinPath(folder, name);
    const std::optional<std::vector<std::string>> names = host::listFolder(folder);
    if (!names) {
        // A folder that may be entered but not listed still gives a part under its exact name.
        return isRegularFile(exact) ? std::optional<std::string>(exact) : std::nullopt;
    }
    // Of other spellings the first in byte order wins, so that the choice does not depend on
    // the order of the listing. A plain minimum: a sort would take more room in QUIL.SYS than
    // the few spellings a folder can hold are worth.
    std::optional<std::string> chosen;
    for (const std::string& entry : *names) {
        if (entry == name && isRegularFile(exact)) {
            return exact;
        }
        if (core::dospath::equalIgnoringCase(entry, name) && (!chosen || entry < *chosen) &&
            isRegularFile(joinPath(folder, entry))) {
            chosen = entry;
        }
    }
    if (!chosen) {
        return std::nullopt;
    }
    return joinPath(folder, *chosen);
}

} // namespace quil
