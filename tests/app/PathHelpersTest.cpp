// Module common: the Send To entries, made from the program's folder and name.
#include "app/PathHelpers.h"
#include "support/TempDir.h"
#include "support/TestRuntime.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ShellLinkCall;

// The target never carries an extension; a second start makes the same entries again; the
// entry for a Windows PC only where a Linux installation keeps the Windows reassembler; no
// other entry when the first could not be made; never more than three.
TEST(CreateSendToLink, MakesItsEntriesByWhatIsInstalledAndRepeatsThemIdentically) {
    const ShellLinkCall plain{"..\\..\\sendto", "Splitwerk 99", "C:\\prog\\teile", ""};
    const ShellLinkCall forWindows{"..\\..\\sendto", "Splitwerk 99 für einen Windows-PC", "C:\\prog\\teile",
                                   "--fuer-windows"};
    const ShellLinkCall withRecovery{"..\\..\\sendto", "Splitwerk 99 mit Ersatzdiskette", "C:\\prog\\teile",
                                     "--mit-ersatzdiskette"};
    struct Case {
        bool windowsReassembler;
        bool windowsProgram;
        int linkResult;
        std::vector<ShellLinkCall> entries;
    };
    const Case cases[] = {
        {false, false, 1, {plain, withRecovery}},
        {true, false, 1, {plain, forWindows, withRecovery}},
        {true, true, 1, {plain, withRecovery}},
        {true, false, 0, {plain}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        testing_support::TempDir dir;
        dir.write(c.windowsReassembler ? "prog/windows/QUIL.SYS" : "prog/QUIL.SYS", "MZ");
        rt::DriveMap drives;
        drives.setFixedDrive('C', dir.str());
        rt::ProgramFacts facts;
        facts.programFolder = "C:\\prog";
        facts.programName = "teile"; // of teile.exe
        facts.windowsProgram = c.windowsProgram;
        testing_support::TestRuntime test(std::move(drives), facts);
        test.links().result = c.linkResult;
        for (int start = 0; start < 2; ++start) {
            EXPECT_EQ(app::common::CreateSendToLink(test.runtime()), c.linkResult != 0);
        }
        std::vector<ShellLinkCall> twice = c.entries;
        twice.insert(twice.end(), c.entries.begin(), c.entries.end());
        EXPECT_EQ(test.links().calls, twice);
    }
}

} // namespace
