// A part on a medium that fails a read, as a diskette with a bad sector does: QUIL.EXE names the
// part and gives no file the restored file's name, wherever in the set the bad place lies.
#include "DriverRun.h"
#include "QuilRun.h"
#include "core/DiskSet.h"
#include "support/PrivateMount.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct BadPlace {
    const char* name;
    long part;
    long long at; // the first unreadable byte of that part
};

class UnreadableDisk : public ::testing::TestWithParam<BadPlace> {};

TEST_P(UnreadableDisk, NamesThePartAndWritesNoFileUnderTheName) {
    testing_support::TempDir work;
    const fs::path source = work.writeRandom("Quelle/Bericht.bin", 2500000, 11);
    fs::create_directories(work.path() / "set");
    // Three parts of 1024000 bytes at most.
    const auto [summary, status] = e2e::runDriver("--source '" + source.string() + "' --folder '" +
                                                  (work.path() / "set").string() + "' --max 1000 --unit Kbyte");
    ASSERT_EQ(status, 0) << summary;

    const std::string part = core::diskset::partName(GetParam().part);
    std::string whyNot;
    const auto medium =
        testing_support::UnreadableMedium::mount((work.path() / "set").string(), (work.path() / "medium").string(),
                                                 part, GetParam().at, GetParam().at + 1, whyNot);
    if (!medium) {
        GTEST_SKIP() << whyNot;
    }
    fs::create_directories(work.path() / "out");
    fs::create_directories(work.path() / "tmp");
    const auto result = quil_test::runQuil(work.path() / "medium" / "QUIL.EXE", {(work.path() / "out").string()},
                                           work.path(), work.path() / "tmp");
    EXPECT_NE(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find(part), std::string::npos) << result.output;
    EXPECT_FALSE(fs::exists(work.path() / "out" / "Bericht.bin")) << result.output;
}

INSTANTIATE_TEST_SUITE_P(Places, UnreadableDisk,
                         ::testing::Values(BadPlace{"FirstByteOfTheFirstPart", 1, 0},
                                           BadPlace{"InTheMiddlePart", 2, 700000},
                                           BadPlace{"LastByteOfTheLastPart", 3, 2500000 - 2 * 1024000 - 1}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// Recovery data beside the parts that fails a read where its index lies: the parts are whole, so
// the file is joined and kept aside as unchecked once the user gives up on another copy.
TEST(UnreadableRecoveryData, KeepsTheJoinedFileAsideUnchecked) {
    testing_support::TempDir work;
    const fs::path source = work.writeRandom("Quelle/Bericht.bin", 2500000, 12);
    fs::create_directories(work.path() / "set");
    const auto [summary, status] =
        e2e::runDriver("--source '" + source.string() + "' --folder '" + (work.path() / "set").string() +
                       "' --max 1000 --unit Kbyte --mit-ersatzdiskette");
    ASSERT_EQ(status, 0) << summary;
    const auto stream = static_cast<long long>(fs::file_size(work.path() / "set" / "QUILME.par2"));
    std::string whyNot;
    const auto medium = testing_support::UnreadableMedium::mount(
        (work.path() / "set").string(), (work.path() / "medium").string(), "QUILME.par2", stream - 100, stream, whyNot);
    if (!medium) {
        GTEST_SKIP() << whyNot;
    }
    fs::create_directories(work.path() / "out");
    fs::create_directories(work.path() / "tmp");
    const auto result = quil_test::runQuil(work.path() / "medium" / "QUIL.EXE", {(work.path() / "out").string()},
                                           work.path(), work.path() / "tmp", {{"Ersatzdiskette 1", "q"}});
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find("Die Ersatzdaten lassen sich nicht lesen"), std::string::npos) << result.output;
    EXPECT_EQ(testing_support::readFile(work.path() / "out" / "Bericht (ungeprüft).bin"),
              testing_support::readFile(source))
        << result.output;
}

} // namespace
