// A part or the recovery data on a medium that fails a read, as a diskette with a bad sector does:
// QUIL.EXE names the bad place and gives no file the restored file's name, wherever it lies.
#include "DriverRun.h"
#include "QuilRun.h"
#include "support/PrivateMount.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct BadPlace {
    const char* name;
    const char* file;  // on the medium, with a bad byte
    long long at;      // the first unreadable byte of that file; from its end where negative
    bool withRecovery; // the set was made mit Ersatzdiskette
    const char* said;  // names the bad place
};

class UnreadableDisk : public ::testing::TestWithParam<BadPlace> {};

// Without recovery data nothing is written under the file's name. With it, a bad byte in the
// recovery data's index leaves the parts whole: the file is joined and kept aside as unchecked
// once the user gives up on another copy.
TEST_P(UnreadableDisk, NamesTheBadPlaceAndWritesNoFileUnderTheName) {
    const BadPlace& bad = GetParam();
    testing_support::TempDir work;
    const fs::path source = work.writeRandom("Quelle/Bericht.bin", 2500000, 11);
    fs::create_directories(work.path() / "set");
    // Three parts of 1024000 bytes at most.
    const auto [summary, status] =
        e2e::runDriver("--source '" + source.string() + "' --folder '" + (work.path() / "set").string() +
                       "' --max 1000 --unit Kbyte" + (bad.withRecovery ? " --mit-ersatzdiskette" : ""));
    ASSERT_EQ(status, 0) << summary;

    const long long at =
        bad.at >= 0 ? bad.at : static_cast<long long>(fs::file_size(work.path() / "set" / bad.file)) + bad.at;
    std::string whyNot;
    const auto medium = testing_support::UnreadableMedium::mount(
        (work.path() / "set").string(), (work.path() / "medium").string(), bad.file, at, at + 1, whyNot);
    if (!medium) {
        GTEST_SKIP() << whyNot;
    }
    fs::create_directories(work.path() / "out");
    fs::create_directories(work.path() / "tmp");
    const auto result = quil_test::runQuil(work.path() / "medium" / "QUIL.EXE", {(work.path() / "out").string()},
                                           work.path(), work.path() / "tmp", {{"Ersatzdiskette 1", "q"}});
    EXPECT_NE(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find(bad.said), std::string::npos) << result.output;
    EXPECT_FALSE(fs::exists(work.path() / "out" / "Bericht.bin")) << result.output;
    if (bad.withRecovery) {
        EXPECT_EQ(testing_support::readFile(work.path() / "out" / "Bericht (ungeprüft).bin"),
                  testing_support::readFile(source))
            << result.output;
    }
}

INSTANTIATE_TEST_SUITE_P(Places, UnreadableDisk,
                         ::testing::Values(BadPlace{"FirstByteOfTheFirstPart", "QUILME01.sys", 0, false,
                                                    "QUILME01.sys"},
                                           BadPlace{"InTheMiddlePart", "QUILME02.sys", 700000, false, "QUILME02.sys"},
                                           BadPlace{"LastByteOfTheLastPart", "QUILME03.sys", -1, false, "QUILME03.sys"},
                                           BadPlace{"InTheIndexOfTheRecoveryData", "QUILME.par2", -100, true,
                                                    "Die Ersatzdaten lassen sich nicht lesen"}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
