// Module common: the Send To entries, made from the program's folder and name.
#include "app/PathHelpers.h"
#include "support/TempDir.h"
#include "support/TestRuntime.h"

#include <gtest/gtest.h>

namespace {

TEST(CreateSendToLink, TargetNeverCarriesAnExtensionAndRepeatsIdentically) {
    rt::ProgramFacts facts;
    facts.programFolder = "C:\\";
    facts.programName = "teile"; // of teile.exe
    testing_support::TestRuntime test(rt::DriveMap{}, facts);
    app::common::CreateSendToLink(test.runtime());
    app::common::CreateSendToLink(test.runtime());
    const testing_support::ShellLinkCall expected{"..\\..\\sendto", "Splitwerk 99", "C:\\teile", ""};
    const testing_support::ShellLinkCall withRecovery{"..\\..\\sendto", "Splitwerk 99 mit Ersatzdiskette", "C:\\teile",
                                                      "--mit-ersatzdiskette"};
    EXPECT_EQ(test.links().calls, (std::vector{expected, withRecovery, expected, withRecovery}));
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
    EXPECT_TRUE(app::common::CreateSendToLink(test.runtime()));
    ASSERT_EQ(test.links().calls.size(), 3u); // three at most: both options only on the command line
    EXPECT_EQ(test.links().calls[1],
              (testing_support::ShellLinkCall{"..\\..\\sendto", "Splitwerk 99 für einen Windows-PC",
                                              "C:\\prog\\splitwerk", "--fuer-windows"}));
}

} // namespace
