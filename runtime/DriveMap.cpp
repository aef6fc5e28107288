// Translation between drive-letter paths and host paths. The map itself holds no paths,
// only resolvers, so that a drive's readiness is checked at every single access.
#include "DriveMap.h"

#include "RuntimeError.h"

#include <algorithm>

namespace rt {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool hasDrive(const std::string& path) {
    return path.size() >= 2 && isLetter(path[0]) && path[1] == ':';
}

std::string withSlashes(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

std::string withBackslashes(std::string text) {
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

// "/media/u/STICK/" and "/media/u/STICK" name the same root; "/" stays "/".
std::string trimmedRoot(std::string root) {
    while (root.size() > 1 && root.back() == '/') {
        root.pop_back();
    }
    return root;
}

std::string withoutLeadingSlashes(const std::string& text) {
    const std::size_t first = text.find_first_not_of('/');
    return first == std::string::npos ? std::string() : text.substr(first);
}

} // namespace

void DriveMap::setDrive(char letter, Resolver resolver) {
    drives_[lower(letter)] = Drive{std::move(resolver), true};
}

void DriveMap::setFixedDrive(char letter, const std::string& directory) {
    drives_[lower(letter)] = Drive{[directory]() -> std::optional<std::string> { return directory; }, false};
}

bool DriveMap::isRemovable(char letter) const {
    const auto found = drives_.find(lower(letter));
    return found != drives_.end() && found->second.removable;
}

void DriveMap::removeDrive(char letter) {
    drives_.erase(lower(letter));
}

std::vector<char> DriveMap::letters() const {
    std::vector<char> result;
    for (const auto& entry : drives_) {
        result.push_back(entry.first);
    }
    return result;
}

std::optional<std::string> DriveMap::root(char letter) const {
    const auto found = drives_.find(lower(letter));
    if (found == drives_.end() || !found->second.resolver) {
        return std::nullopt;
    }
    return found->second.resolver();
}

std::string DriveMap::toNative(const std::string& path) const {
    if (!hasDrive(path)) {
        return withSlashes(path);
    }
    const std::optional<std::string> directory = root(path[0]);
    if (!directory || directory->empty()) {
        raise(kDiskNotReady);
    }
    const std::string rest = withoutLeadingSlashes(withSlashes(path.substr(2)));
    const std::string base = trimmedRoot(*directory);
    if (rest.empty()) {
        return base;
    }
    return base == "/" ? base + rest : base + "/" + rest;
}

std::string DriveMap::fromNative(const std::string& nativePath) const {
    if (nativePath.empty() || nativePath[0] != '/') {
        return withBackslashes(nativePath);
    }
    char bestLetter = 0;
    std::size_t bestLength = 0;
    for (const auto& entry : drives_) {
        const std::optional<std::string> directory = entry.second.resolver ? entry.second.resolver() : std::nullopt;
        if (!directory || directory->empty() || (*directory)[0] != '/') {
            continue;
        }
        const std::string base = trimmedRoot(*directory);
        const bool covers = base == "/" || nativePath == base ||
                            (nativePath.compare(0, base.size(), base) == 0 && nativePath[base.size()] == '/');
        // Strictly longer wins, so of two drives on the same folder the first letter keeps it.
        const std::size_t length = base == "/" ? 0 : base.size();
        if (covers && (bestLetter == 0 || length > bestLength)) {
            bestLetter = entry.first;
            bestLength = length;
        }
    }
    if (bestLetter == 0) {
        return withBackslashes(nativePath);
    }
    const std::string rest = withoutLeadingSlashes(nativePath.substr(bestLength));
    return std::string(1, upper(bestLetter)) + ":\\" + withBackslashes(rest);
}

} // namespace rt
