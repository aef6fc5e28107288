// Module common: folder texts and the program's folder.
#include "app/PathHelpers.h"
#include "support/TempDir.h"
#include "support/TestRuntime.h"

#include <gtest/gtest.h>

namespace {

TEST(WithTrailingBackslash, AddsExactlyOne) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Daten", "C:\\Daten\\"},
        {"C:\\Daten\\", "C:\\Daten\\"},
        {"A:", "A:\\"},
        {"", "\\"},
        {"Z:\\home/", "Z:\\home/\\"},
        {"C:\\", "C:\\"},
    };
    for (const auto& [in, out] : cases) {
        std::string argument = in;
        EXPECT_EQ(common::WithTrailingBackslash(argument), out) << in;
        EXPECT_EQ(argument, in) << "the caller's text stays as it was";
    }
}

TEST(AppFolder, RootGetsOneBackslashOtherFoldersGetOneAdded) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\", "C:\\"}, {"C:\\Programme\\Teile", "C:\\Programme\\Teile\\"}, {"Z:\\", "Z:\\"}};
    for (const auto& [folder, expected] : cases) {
        rt::ProgramFacts facts;
        facts.programFolder = folder;
        testing_support::TestRuntime test(rt::DriveMap{}, facts);
        EXPECT_EQ(common::AppFolder(test.runtime()), expected);
    }
}

TEST(CreateSendToLink, TargetNeverCarriesAnExtensionAndRepeatsIdentically) {
    rt::ProgramFacts facts;
    facts.programFolder = "C:\\";
    facts.programName = "teile"; // of teile.exe
    testing_support::TestRuntime test(rt::DriveMap{}, facts);
    common::CreateSendToLink(test.runtime());
    common::CreateSendToLink(test.runtime());
    const testing_support::ShellLinkCall expected{"..\\..\\sendto", "Splitwerk 99", "C:\\teile", ""};
    ASSERT_EQ(test.links().calls.size(), 2u);
    EXPECT_EQ(test.links().calls[0], expected);
    EXPECT_EQ(test.links().calls[1], expected);
}

TEST(CreateSendToLink, WithTheWindowsReassemblerInstalledASecondEntryMakesSetsForWindows) {
    testing_support::TempDir dir;
    dir.write("prog/windows/QUIL.SYS", "MZ");
    rt::DriveMap drives;
    drives.setFixedDrive('C', dir.str());
    rt::ProgramFacts facts;
    facts.programFolder = "C:\\prog";
    facts.programName = "splitwerk";
    testing_support::TestRuntime test(std::move(drives), facts);
    EXPECT_TRUE(common::CreateSendToLink(test.runtime()));
    ASSERT_EQ(test.links().calls.size(), 2u);
    EXPECT_EQ(test.links().calls[1],
              (testing_support::ShellLinkCall{"..\\..\\sendto", "Splitwerk 99 für einen Windows-PC",
                                              "C:\\prog\\splitwerk", "--fuer-windows"}));
}

struct Scale final : PixelTwipsScale {
    float pixelsToTwipsX(float pixels) const override { return pixels * 15.0f; }
    float pixelsToTwipsY(float pixels) const override { return pixels * 12.0f; }
};

TEST(PixelsToTwips, UsesEachAxisOfTheWindowAndLeavesThePixelsAlone) {
    Scale window;
    float pixels = 16.0f;
    EXPECT_FLOAT_EQ(common::PixelsToTwipsX(window, pixels), 240.0f);
    EXPECT_FLOAT_EQ(common::PixelsToTwipsY(window, pixels), 192.0f);
    EXPECT_FLOAT_EQ(pixels, 16.0f);
}

} // namespace
