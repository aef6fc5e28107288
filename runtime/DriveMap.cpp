// Translation between drive-letter paths and host paths. The map itself holds no paths,
// only resolvers, so that a drive's readiness is checked at every single access.
#include "DriveMap.h"

#include "NativePath.h"
#include "RuntimeError.h"
#include "core/DosPath.h"

#include <algorithm>
#include <filesystem>

namespace rt {

namespace {

using dospath::lowerAscii;
using dospath::upperAscii;

std::string toNativeSeparators(std::string text) {
    std::replace(text.begin(), text.end(), '\\', native::kSeparator);
    return text;
}

std::string toBackslashes(std::string text) {
    std::replace(text.begin(), text.end(), native::kSeparator, '\\');
    return text;
}

bool isRoot(const std::string& directory) {
    return directory.size() == 1 || (directory.size() == 3 && directory[1] == ':');
}

// "/media/u/STICK/" and "/media/u/STICK" name the same folder; a root ("/", "A:\") keeps its
// separator.
std::string trimmedRoot(std::string root) {
    while (root.size() > 1 && root.back() == native::kSeparator && !isRoot(root)) {
        root.pop_back();
    }
    return root;
}

std::string withoutLeadingSeparators(const std::string& text) {
    const std::size_t first = text.find_first_not_of(native::kSeparator);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string joined(const std::string& base, const std::string& rest) {
    if (rest.empty()) {
        return base;
    }
    return base.back() == native::kSeparator ? base + rest : base + native::kSeparator + rest;
}

} // namespace

void DriveMap::setDrive(char letter, Resolver resolver, Presence presence) {
    drives_[lowerAscii(letter)] = Drive{std::move(resolver), true, std::move(presence)};
}

void DriveMap::setFixedDrive(char letter, const std::string& directory) {
    drives_[lowerAscii(letter)] = Drive{[directory]() -> std::optional<std::string> { return directory; }, false, {}};
}

bool DriveMap::isRemovable(char letter) const {
    const auto found = drives_.find(lowerAscii(letter));
    return found != drives_.end() && found->second.removable;
}

bool DriveMap::hasDevice(char letter) const {
    const auto found = drives_.find(lowerAscii(letter));
    return found != drives_.end() && (!found->second.presence || found->second.presence());
}

void DriveMap::removeDrive(char letter) {
    drives_.erase(lowerAscii(letter));
}

std::vector<char> DriveMap::letters() const {
    std::vector<char> result;
    for (const auto& entry : drives_) {
        result.push_back(entry.first);
    }
    return result;
}

std::optional<std::string> DriveMap::root(char letter) const {
    const auto found = drives_.find(lowerAscii(letter));
    if (found == drives_.end() || !found->second.resolver) {
        return std::nullopt;
    }
    return found->second.resolver();
}

std::string DriveMap::toNative(const std::string& path) const {
    if (!dospath::hasDrivePrefix(path)) {
        return toNativeSeparators(path);
    }
    const std::optional<std::string> directory = root(path[0]);
    if (!directory || directory->empty()) {
        raise(kDiskNotReady);
    }
    return joined(trimmedRoot(*directory), withoutLeadingSeparators(toNativeSeparators(path.substr(2))));
}

bool DriveMap::canExpress(const std::string& nativePath) {
    return native::kSeparator == '\\' || nativePath.find('\\') == std::string::npos;
}

bool DriveMap::samePlace(const std::string& a, const std::string& b) const {
    const auto hostForm = [this](const std::string& path) {
        std::string native = std::filesystem::path(toNative(path)).lexically_normal().string();
        while (native.size() > 1 && (native.back() == '/' || native.back() == '\\')) {
            native.pop_back();
        }
        return native;
    };
    return hostForm(a) == hostForm(b);
}

std::string DriveMap::fromNative(const std::string& givenPath) const {
    const std::string nativePath = native::withSingleSeparators(givenPath);
    if (!native::isAbsolute(nativePath)) {
        return toBackslashes(nativePath);
    }
    char bestLetter = 0;
    std::size_t bestLength = 0;
    for (const auto& entry : drives_) {
        const std::optional<std::string> directory = entry.second.resolver ? entry.second.resolver() : std::nullopt;
        if (!directory || !native::isAbsolute(*directory)) {
            continue;
        }
        const std::string base = trimmedRoot(*directory);
        const bool covers = native::sameName(nativePath.substr(0, base.size()), base) &&
                            (nativePath.size() == base.size() || base.back() == native::kSeparator ||
                             nativePath[base.size()] == native::kSeparator);
        // Strictly longer wins, so of two drives on the same folder the first letter keeps it.
        if (covers && (bestLetter == 0 || base.size() > bestLength)) {
            bestLetter = entry.first;
            bestLength = base.size();
        }
    }
    if (bestLetter == 0) {
        return toBackslashes(nativePath);
    }
    const std::string rest = withoutLeadingSeparators(nativePath.substr(bestLength));
    return std::string(1, upperAscii(bestLetter)) + ":\\" + toBackslashes(rest);
}

} // namespace rt
