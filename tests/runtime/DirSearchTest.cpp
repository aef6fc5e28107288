// DOS wildcard matching and the directory search the wipe loop and the part search use.
#include "runtime/DirSearch.h"
#include "runtime/DriveMap.h"
#include "runtime/FileSystem.h"
#include "runtime/HostPlatform.h"
#include "support/HostFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace {

using testing_support::TempDir;

struct PatternCase {
    const char* pattern;
    const char* name;
    bool matches;
};

TEST(DirSearchTest, DosPatterns) {
    const PatternCase cases[] = {
        {"*.*", "QUILME01.sys", true},
        {"*.*", "README", true},
        {"*.*", ".hidden", true},
        {"*", "anything.at.all", true},
        {"QUILME01.sys", "quilme01.SYS", true},
        {"QUILME01.sys", "QUILME01.sys.bak", false},
        {"QUILME01.sys", "QUILME02.sys", false},
        {"QUILME??.sys", "QUILME42.sys", true},
        {"QUILME??.sys", "QUILME4.sys", false},
        {"*.sys", "teil.SYS", true},
        {"*.sys", "teil.sysx", false},
        {"*.sys", ".sys", true},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"a*b", "abab", true},
        {"?", "ü", true}, // one character, not one byte
        {"?", "ab", false},
        {"Ä*", "Änderung.txt", true},
        {"", "x", true},
    };
    for (const PatternCase& c : cases) {
        EXPECT_EQ(rt::matchesDosPattern(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
    }
}

class DirSearchFolder : public ::testing::Test {
protected:
    DirSearchFolder() {
        drives_.setFixedDrive('C', dir_.str());
        dir_.write("b.txt", "b");
        dir_.write("A.txt", "a");
        dir_.write("c.sys", "c");
        testing_support::hideFile(dir_.write(".versteckt", "h"));
        std::filesystem::create_directory(dir_.path() / "Ordner.txt");
        std::filesystem::create_directory(dir_.path() / "sub");
        dir_.write("sub/inner.txt", "i");
    }

    std::vector<std::string> all(const std::string& pattern, int mask) {
        std::vector<std::string> names;
        for (std::string name = search_.first(pattern, mask); !name.empty(); name = search_.next()) {
            names.push_back(name);
        }
        return names;
    }

    TempDir dir_;
    rt::DriveMap drives_;
    std::unique_ptr<rt::FileSystem> host_ = rt::makeHostFileSystem();
    rt::FileSystem& fs_ = *host_;
    rt::DirSearch search_{fs_, drives_};
};

// What a search lists, in order: the mask decides on hidden files, folders are never listed, a
// read-only file is found, a single name only when it exists, a missing folder holds nothing.
TEST_F(DirSearchFolder, MasksDecideOnHiddenFilesAndFoldersAreNeverListed) {
    std::filesystem::permissions(dir_.path() / "c.sys", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    const std::tuple<const char*, int, std::vector<std::string>> cases[] = {
        {"C:\\*.*", rt::kSearchNormal, {"A.txt", "b.txt", "c.sys"}},
        {"C:\\*.*", rt::kSearchAll, {".versteckt", "A.txt", "b.txt", "c.sys"}},
        {"C:\\*.txt", rt::kSearchAll, {"A.txt", "b.txt"}},
        {"C:\\sub\\*.*", rt::kSearchNormal, {"inner.txt"}},
        {"C:*.sys", rt::kSearchNormal, {"c.sys"}},
        {"C:\\C.SYS", rt::kSearchNormal, {"c.sys"}},
        {"C:\\b.txt", rt::kSearchNormal, {"b.txt"}},
        {"C:\\QUILME01.sys", rt::kSearchNormal, {}},
        {"C:\\fehlt\\*.*", rt::kSearchNormal, {}},
    };
    for (const auto& [pattern, mask, names] : cases) {
        EXPECT_EQ(all(pattern, mask), names) << pattern;
        EXPECT_EQ(search_.next(), "") << pattern;
    }
}

TEST_F(DirSearchFolder, DeletingListedFilesDuringTheSearchDisturbsNothing) {
    std::vector<std::string> seen;
    for (std::string name = search_.first("C:\\*.*", rt::kSearchAll); !name.empty(); name = search_.next()) {
        seen.push_back(name);
        std::filesystem::remove(dir_.path() / name);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{".versteckt", "A.txt", "b.txt", "c.sys"}));
    EXPECT_EQ(search_.first("C:\\*.*", rt::kSearchAll), "");
}

TEST_F(DirSearchFolder, ANewSearchReplacesTheRunningOne) {
    EXPECT_EQ(search_.first("C:\\*.txt"), "A.txt");
    EXPECT_EQ(search_.first("C:\\*.sys"), "c.sys");
    EXPECT_EQ(search_.next(), "");
}

} // namespace
