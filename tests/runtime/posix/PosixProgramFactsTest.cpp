// The program's facts in drive-letter form on Linux: the command line as the file manager passes
// it, the program's own folder and name from /proc/self/exe.
#include "runtime/DriveMap.h"
#include "runtime/ProgramFacts.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ProgramFactsTest, EachArgumentIsTranslatedOnItsOwn) {
    rt::DriveMap drives;
    drives.setFixedDrive('Z', "/");
    drives.setFixedDrive('D', "/media/u/STICK");
    std::string program = "splitwerk";
    std::string file = "/home/u/Kapitel_1_bis_6.PAK";
    std::string onStick = "/media/u/STICK/Mein Bericht.doc";
    std::string relative = "unter//datei.txt"; // Linux reads a doubled slash as one
    std::string backslash = "/home/u/a\\b.txt";
    char* argv[] = {program.data(), file.data(), onStick.data(), relative.data(), backslash.data(), nullptr};

    const rt::ProgramFacts facts = rt::ProgramFacts::fromProcess(5, argv, drives);
    const std::vector<rt::ProgramArgument> expected = {{"Z:\\home\\u\\Kapitel_1_bis_6.PAK", true},
                                                       {"D:\\Mein Bericht.doc", true},
                                                       {"unter\\datei.txt", true},
                                                       {"Z:\\home\\u\\a\\b.txt", false}};
    EXPECT_EQ(facts.arguments, expected);

    char* none[] = {program.data(), nullptr};
    EXPECT_TRUE(rt::ProgramFacts::fromProcess(1, none, drives).arguments.empty());
}

TEST(ProgramFactsTest, FolderAndNameComeFromTheRunningProgram) {
    rt::DriveMap drives;
    drives.setFixedDrive('Z', "/");
    std::string program = "irgendwas";
    char* argv[] = {program.data(), nullptr};
    const rt::ProgramFacts facts = rt::ProgramFacts::fromProcess(1, argv, drives);

    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(facts.programFileNative, self.string());
    EXPECT_EQ(facts.programName, self.stem().string());
    EXPECT_EQ(facts.programFolder, drives.fromNative(self.parent_path().string()));
    ASSERT_GE(facts.programFolder.size(), 3u);
    EXPECT_EQ(facts.programFolder.substr(0, 3), "Z:\\");
    EXPECT_NE(facts.programFolder.back(), '\\');
    // A program at a drive's root keeps the backslash.
    drives.setFixedDrive('P', self.parent_path().string());
    EXPECT_EQ(rt::ProgramFacts::fromProcess(1, argv, drives).programFolder, "P:\\");
}

} // namespace
