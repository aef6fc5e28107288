// The path rules every part of the program shares.
#include "core/DosPath.h"
#include "core/DiskSet.h"

#include <gtest/gtest.h>

namespace {

TEST(DosPathTest, FolderAndNameOfProgramAndHostPaths) {
    struct Case {
        const char* path;
        const char* separators;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        {"C:\\Daten\\Bericht.doc", "\\", "C:\\Daten\\", "Bericht.doc"},
        {"Bericht.doc", "\\", "", "Bericht.doc"},
        {"A:\\", "\\", "A:\\", ""},
        {"Z:\\home\\u/x.txt", "\\/", "Z:\\home\\u/", "x.txt"},
        {"Z:\\home\\u/x.txt", "\\", "Z:\\home\\", "u/x.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dospath::folderWithSeparator(c.path, c.separators), c.folder) << c.path;
        EXPECT_EQ(dospath::lastComponent(c.path, c.separators), c.name) << c.path;
    }
    const std::pair<const char*, const char*> parents[] = {
        {"/a/b", "/a"}, {"/a/b/", "/a"}, {"/a", "/"}, {"/", "/"}, {"a", "."}};
    for (const auto& [path, parent] : parents) {
        EXPECT_EQ(dospath::parentFolder(path), parent) << path;
    }
}

TEST(DosPathTest, DrivesBackslashesAndLetterCase) {
    EXPECT_EQ(dospath::withTrailingBackslash("C:\\Daten"), "C:\\Daten\\");
    EXPECT_EQ(dospath::withTrailingBackslash("C:\\Daten\\"), "C:\\Daten\\");
    EXPECT_EQ(dospath::withTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(dospath::withTrailingBackslash("A:"), "A:\\");
    EXPECT_EQ(dospath::withTrailingBackslash(""), "\\");
    EXPECT_EQ(dospath::withTrailingBackslash("C:/x/"), "C:/x/\\");
    EXPECT_TRUE(dospath::isDriveRoot("a:\\"));
    EXPECT_FALSE(dospath::isDriveRoot("A:\\x"));
    EXPECT_FALSE(dospath::hasDrivePrefix("1:\\"));
    EXPECT_TRUE(dospath::equalIgnoringCase("quilme01.SYS", "QUILME01.sys"));
    EXPECT_FALSE(dospath::equalIgnoringCase("ä", "Ä")); // only ASCII folds
}

TEST(DiskSetTest, SetNamesInAnyCaseAndNothingElse) {
    const std::pair<const char*, bool> cases[] = {
        {"QUIL.EXE", true},       {"quil.exe", true},       {"autorun.INF", true},   {"QUILME00.sys", true},
        {"quilme99.SYS", true},   {"QUILME1.sys", false},   {"QUILMEab.sys", false}, {"QUIL.SYS", false},
        {"QUILME01.sys ", false}, {"xQUILME01.sys", false},
    };
    for (const auto& [name, inSet] : cases) {
        EXPECT_EQ(diskset::isSetName(name), inSet) << name;
    }
}

} // namespace
