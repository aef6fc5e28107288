// A case-insensitive lookup of part names that holds the folder open only while listing it.
// The folder's own listing decides, not an open by name: where two spellings of a name lie
// side by side (a FAT folder seen from Linux, a Linux folder seen from Wine), an open by a
// name the folder does not hold exactly may reach either file.
#include "PartNames.h"
#include "core/DosPath.h"

#include <algorithm>
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
    std::vector<std::string> matches;
    for (const std::string& entry : *names) {
        if (entry == name && isRegularFile(exact)) {
            return exact;
        }
        if (dospath::equalIgnoringCase(entry, name)) {
            matches.push_back(entry);
        }
    }
    std::sort(matches.begin(), matches.end());
    for (const std::string& match : matches) {
        const std::string path = joinPath(folder, match);
        if (isRegularFile(path)) {
            return path;
        }
    }
    return std::nullopt;
}

} // namespace quil
