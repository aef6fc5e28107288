// A case-insensitive lookup of part names that holds the folder open only while listing it.
#include "PartNames.h"
#include "core/DosPath.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace quil {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

std::optional<std::string> findPart(const std::string& folder, const std::string& name) {
    const std::string exact = joinPath(folder, name);
    if (isRegularFile(exact)) {
        return exact;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> matches;
    while (const dirent* entry = ::readdir(dir)) {
        if (dospath::equalIgnoringCase(entry->d_name, name)) {
            matches.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
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
