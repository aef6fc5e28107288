// Directory search with DOS wildcards. The listing is a snapshot taken by first(), sorted
// by name for a stable order, so the wipe loop can delete each file as it goes.
#include "DirSearch.h"

#include "DriveMap.h"
#include "FileSystem.h"
#include "RuntimeError.h"
#include "core/DosPath.h"

#include <algorithm>

namespace rt {

namespace {

// One character of UTF-8 text, so that "?" stands for "ü" as it does for "u".
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> result;
    for (char c : text) {
        const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
        if (continuation && !result.empty()) {
            result.back() += c;
        } else {
            result.emplace_back(1, c);
        }
    }
    return result;
}

bool matchFrom(const std::vector<std::string>& pattern, std::size_t p, const std::vector<std::string>& name,
               std::size_t n) {
    // Iterative wildcard match: remember the last "*" and let it swallow one more character
    // whenever the rest fails.
    std::size_t starP = std::string::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == "*") {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == "?" || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == "*") {
        ++p;
    }
    return p == pattern.size();
}

} // namespace

bool matchesDosPattern(const std::string& pattern, const std::string& name) {
    if (pattern.empty() || pattern == "*" || pattern == "*.*") {
        return true;
    }
    return matchFrom(characters(core::dospath::lowerAscii(pattern)), 0, characters(core::dospath::lowerAscii(name)), 0);
}

DirSearch::DirSearch(FileSystem& fs, const DriveMap& drives) : fs_(fs), drives_(drives) {}

std::string DirSearch::first(const std::string& pattern, int mask) {
    matches_.clear();
    next_ = 0;

    std::string folder;
    std::string filePattern = pattern;
    const std::size_t split = pattern.find_last_of("\\/");
    if (split != std::string::npos) {
        folder = pattern.substr(0, split == 0 ? 1 : split);
        filePattern = pattern.substr(split + 1);
    } else if (pattern.size() >= 2 && pattern[1] == ':') {
        folder = pattern.substr(0, 2); // "A:*.*": the drive's root
        filePattern = pattern.substr(2);
    }
    // An unready drive is error 71 here, before anything is listed: the copy run relies on it.
    const std::string native = folder.empty() ? "." : drives_.toNative(folder);

    std::vector<DirEntry> entries;
    try {
        entries = fs_.list(native, filePattern);
    } catch (const RuntimeError& error) {
        if (error.number() != kPathNotFound && error.number() != kFileNotFound) {
            throw;
        }
        return {}; // a folder that does not exist holds no match
    }
    const int excluded = (kAttrHidden | kAttrSystem) & ~mask;
    for (const DirEntry& entry : entries) {
        // A backslash in a host name would split it when the name is joined to a folder again.
        if ((entry.attributes & (excluded | kAttrDirectory)) == 0 && entry.name.find('\\') == std::string::npos) {
            matches_.push_back(entry.name);
        }
    }
    std::sort(matches_.begin(), matches_.end());
    return next();
}

std::string DirSearch::nameOf(const std::string& path, int mask) {
    DirEntry entry;
    try {
        entry = fs_.describe(drives_.toNative(path));
    } catch (const RuntimeError& error) {
        if (error.number() != kPathNotFound && error.number() != kFileNotFound) {
            throw;
        }
        return {};
    }
    const int excluded = (kAttrHidden | kAttrSystem) & ~mask;
    if ((entry.attributes & (excluded | kAttrDirectory)) != 0) {
        return {};
    }
    return entry.name;
}

std::string DirSearch::next() {
    if (next_ >= matches_.size()) {
        return {};
    }
    return matches_[next_++];
}

} // namespace rt
