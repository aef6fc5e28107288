// DOS wildcard matching and the directory search the wipe loop and the part search use.
#include "runtime/DirSearch.h"
#include "runtime/DriveMap.h"
#include "runtime/FileSystem.h"
#include "runtime/Host.h"
#include "runtime/RuntimeError.h"
#include "support/HostFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

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

TEST_F(DirSearchFolder, MasksDecideOnHiddenFilesAndFoldersAreNeverListed) {
    EXPECT_EQ(all("C:\\*.*", rt::kSearchNormal), (std::vector<std::string>{"A.txt", "b.txt", "c.sys"}));
    EXPECT_EQ(all("C:\\*.*", rt::kSearchAll), (std::vector<std::string>{".versteckt", "A.txt", "b.txt", "c.sys"}));
    EXPECT_EQ(all("C:\\*.txt", rt::kSearchAll), (std::vector<std::string>{"A.txt", "b.txt"}));
    EXPECT_EQ(all("C:\\sub\\*.*", rt::kSearchNormal), (std::vector<std::string>{"inner.txt"}));
    EXPECT_EQ(all("C:*.sys", rt::kSearchNormal), (std::vector<std::string>{"c.sys"}));
}

TEST_F(DirSearchFolder, ReadOnlyFilesAreFound) {
    std::filesystem::permissions(dir_.path() / "c.sys", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(all("C:\\C.SYS", rt::kSearchNormal), (std::vector<std::string>{"c.sys"}));
}

TEST_F(DirSearchFolder, ASingleNameIsFoundOnlyWhenItExists) {
    EXPECT_EQ(search_.first("C:\\b.txt"), "b.txt");
    EXPECT_EQ(search_.next(), "");
    EXPECT_EQ(search_.first("C:\\QUILME01.sys"), "");
    EXPECT_EQ(search_.next(), "");
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

TEST_F(DirSearchFolder, MissingFolderGivesNoMatchButAnUnreadyDriveIsError71) {
    EXPECT_EQ(search_.first("C:\\fehlt\\*.*"), "");
    drives_.setDrive('A', [] { return std::optional<std::string>(); });
    try {
        search_.first("A:\\*.*", rt::kSearchAll);
        FAIL() << "no error";
    } catch (const rt::RuntimeError& error) {
        EXPECT_EQ(error.number(), 71);
    }
}

TEST_F(DirSearchFolder, ANewSearchReplacesTheRunningOne) {
    EXPECT_EQ(search_.first("C:\\*.txt"), "A.txt");
    EXPECT_EQ(search_.first("C:\\*.sys"), "c.sys");
    EXPECT_EQ(search_.next(), "");
}

} // namespace
