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
        EXPECT_EQ(core::dospath::folderWithSeparator(c.path, c.separators), c.folder) << c.path;
        EXPECT_EQ(core::dospath::lastComponent(c.path, c.separators), c.name) << c.path;
    }
    const std::pair<const char*, const char*> parents[] = {
        {"/a/b", "/a"}, {"/a/b/", "/a"}, {"/a", "/"}, {"/", "/"}, {"a", "."}};
    for (const auto& [path, parent] : parents) {
        EXPECT_EQ(core::dospath::parentFolder(path), parent) << path;
    }
}

TEST(DosPathTest, DrivesBackslashesAndLetterCase) {
    EXPECT_EQ(core::dospath::withTrailingBackslash("C:\\Daten"), "C:\\Daten\\");
    EXPECT_EQ(core::dospath::withTrailingBackslash("C:\\Daten\\"), "C:\\Daten\\");
    EXPECT_EQ(core::dospath::withTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(core::dospath::withTrailingBackslash("A:"), "A:\\");
    EXPECT_EQ(core::dospath::withTrailingBackslash(""), "\\");
    EXPECT_EQ(core::dospath::withTrailingBackslash("C:/x/"), "C:/x/\\");
    EXPECT_TRUE(core::dospath::isDriveRoot("a:\\"));
    EXPECT_FALSE(core::dospath::isDriveRoot("A:\\x"));
    EXPECT_FALSE(core::dospath::hasDrivePrefix("1:\\"));
    EXPECT_TRUE(core::dospath::equalIgnoringCase("quilme01.SYS", "QUILME01.sys"));
    EXPECT_FALSE(core::dospath::equalIgnoringCase("ä", "Ä")); // only ASCII folds
}

TEST(DiskSetTest, SetNamesInAnyCaseAndNothingElse) {
    const std::pair<const char*, bool> cases[] = {
        {"QUIL.EXE", true},       {"quil.exe", true},       {"autorun.INF", true},   {"QUILME00.sys", true},
        {"quilme99.SYS", true},   {"QUILME1.sys", false},   {"QUILMEab.sys", false}, {"QUIL.SYS", false},
        {"QUILME01.sys ", false}, {"xQUILME01.sys", false},
    };
    for (const auto& [name, inSet] : cases) {
        EXPECT_EQ(core::diskset::isSetName(name), inSet) << name;
    }
}

} // namespace
