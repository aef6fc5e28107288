// Translation between drive-letter paths and host paths. The map itself holds no paths,
// only resolvers, so that a drive's readiness is checked at every single access.
#include "DriveMap.h"

#include "NativePath.h"
#include "RuntimeError.h"
#include "core/DosPath.h"

#include <algorithm>
#include <vector>

namespace rt {

namespace {

using core::dospath::lowerAscii;
using core::dospath::upperAscii;

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

// A host folder written one way: doubled separators, "." and ".." resolved by the text alone,
// no separator at the end. Worked on the UTF-8 text itself: std::filesystem would read it in the
// ANSI code page on Windows, where two names it cannot hold would become one.
std::string lexicalForm(const std::string& path) {
    const auto isSeparator = [](char c) { return c == native::kSeparator || c == '/'; };
    std::size_t leading = 0;
    while (leading < path.size() && isSeparator(path[leading])) {
        ++leading;
    }
    // A share ("\\Server\\Freigabe") keeps its two; the root of POSIX has one.
    const std::size_t rootSeparators = std::min<std::size_t>(leading, native::kSeparator == '\\' ? 2 : 1);
    std::vector<std::string> parts;
    std::string part;
    const auto endPart = [&] {
        if (part == "..") {
            // Above the root, or above a drive ("C:"), there is nothing to go back to.
            if (!parts.empty() && parts.back() != ".." && parts.back().back() != ':') {
                parts.pop_back();
            } else if (rootSeparators == 0 && (parts.empty() || parts.back() == "..")) {
                parts.push_back(part);
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (std::size_t i = leading; i < path.size(); ++i) {
        if (isSeparator(path[i])) {
            endPart();
        } else {
            part += path[i];
        }
    }
    endPart();
    std::string form(rootSeparators, native::kSeparator);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        form += (i == 0 ? "" : std::string(1, native::kSeparator)) + parts[i];
    }
    // "C:" alone is the drive's root.
    if (parts.size() == 1 && parts.front().back() == ':') {
        form += native::kSeparator;
    }
    return form;
}

} // namespace

void DriveMap::setDrive(char letter, Resolver resolver, Presence presence) {
    drives_[lowerAscii(letter)] = Drive{std::move(resolver), true, {}, std::move(presence)};
}

void DriveMap::setFixedDrive(char letter, const std::string& directory) {
    drives_[lowerAscii(letter)] =
        Drive{[directory]() -> std::optional<std::string> { return directory; }, false, {}, {}};
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

void DriveMap::setVolumeNamer(char letter, VolumeNamer namer) {
    const auto found = drives_.find(lowerAscii(letter));
    if (found != drives_.end()) {
        found->second.namer = std::move(namer);
    }
}

std::string DriveMap::volumeName(char letter) const {
    const auto found = drives_.find(lowerAscii(letter));
    if (found == drives_.end()) {
        return {};
    }
    if (found->second.namer) {
        return found->second.namer();
    }
    // The floppy's disk changes while the list stands, so a name would soon be wrong.
    if (lowerAscii(letter) == 'a') {
        return {};
    }
    const std::optional<std::string> directory = root(letter);
    if (!directory) {
        return {};
    }
    const std::string trimmed = trimmedRoot(*directory);
    const std::size_t separator = trimmed.rfind(native::kSeparator);
    const std::string last = separator == std::string::npos ? trimmed : trimmed.substr(separator + 1);
    return last;
}

std::optional<std::string> DriveMap::root(char letter) const {
    const auto found = drives_.find(lowerAscii(letter));
    if (found == drives_.end() || !found->second.resolver) {
        return std::nullopt;
    }
    return found->second.resolver();
}

std::string DriveMap::toNative(const std::string& path) const {
    if (!core::dospath::hasDrivePrefix(path)) {
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
    return native::sameName(lexicalForm(toNative(a)), lexicalForm(toNative(b)));
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
