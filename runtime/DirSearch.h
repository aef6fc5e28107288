// Directory search with DOS wildcards, first and next, like the classic Dir function:
// one search at a time, names returned as stored. The listing is taken once at the first
// call, so deleting a listed file while the search goes on disturbs nothing.
#pragma once

#include <string>
#include <vector>

namespace rt {

class DriveMap;
class FileSystem;

// Mask 0: regular files that are neither hidden nor system; 7: those too. Never folders.
enum SearchMask : int { kSearchNormal = 0, kSearchAll = 7 };

// Does a name match a DOS pattern ("*", "?", "*.*" for all), ignoring letter case?
bool matchesDosPattern(const std::string& pattern, const std::string& name);

class DirSearch {
public:
    DirSearch(FileSystem& fs, const DriveMap& drives);

    // Starts a new search; returns the first match or an empty text.
    std::string first(const std::string& pattern, int mask = kSearchNormal);
    // The next match of the running search, empty at the end.
    std::string next();

    // The name, as stored, of the one file a path names: no wildcards, no other file that
    // merely matches. Empty for a folder, for a file the mask excludes, or for nothing there.
    // The running search is not disturbed.
    std::string nameOf(const std::string& path, int mask = kSearchNormal);

private:
    FileSystem& fs_;
    const DriveMap& drives_;
    std::vector<std::string> matches_;
    std::size_t next_ = 0;
};

} // namespace rt
