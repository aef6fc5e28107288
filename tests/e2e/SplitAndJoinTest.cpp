// A file split by the engine onto simulated diskettes comes back byte for byte from QUIL.EXE,
// which asks for each further disk on its terminal.
#include "DriverRun.h"
#include "QuilRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

struct SetCase {
    const char* name;
    std::size_t size;
    // Room per simulated disk beyond the size of QUIL.SYS (which is much larger in a sanitizer
    // build); 0: a folder target.
    std::uintmax_t roomBeyondReassembler;
    std::size_t minimumDisks;
    const char* limit; // Kbyte, empty: none
};

class SplitAndJoin : public ::testing::TestWithParam<SetCase> {};

TEST_P(SplitAndJoin, QuilGivesBackTheSource) {
    const SetCase& c = GetParam();
    TempDir work;
    const fs::path sent = work.writeRandom("Quelle/Bericht_2026.bin", c.size, 5);

    const std::size_t folders = c.minimumDisks + 2;
    std::string disks;
    for (std::size_t i = 1; i <= folders; ++i) {
        fs::create_directories(work.path() / ("disk" + std::to_string(i)));
        disks += (i > 1 ? "," : "") + (work.path() / ("disk" + std::to_string(i))).string();
    }
    std::string arguments = "--source '" + sent.string() + "' --autorun";
    if (c.roomBeyondReassembler != 0) {
        const auto capacity = fs::file_size(fs::path(SPLITWERK_BUILD_DIR) / "QUIL.SYS") + c.roomBeyondReassembler;
        arguments += " --floppy '" + disks + "' --capacity " + std::to_string(capacity);
    } else {
        arguments += " --folder '" + (work.path() / "disk1").string() + "'";
    }
    if (*c.limit != '\0') {
        arguments += std::string(" --max ") + c.limit + " --unit Kbyte";
    }
    const auto [summary, status] = e2e::runDriver(arguments);
    ASSERT_EQ(status, 0) << summary;
    const std::size_t used = e2e::disksUsed(summary);
    EXPECT_GE(used, c.minimumDisks) << summary;
    for (std::size_t i = 2; i <= used; ++i) {
        EXPECT_FALSE(fs::exists(work.path() / ("disk" + std::to_string(i)) / "QUIL.EXE")) << "only the first disk";
    }

    // Each later disk is "inserted" by typing the folder that holds it.
    std::vector<fs::path> laterDisks;
    for (std::size_t i = 2; i <= used; ++i) {
        laterDisks.push_back(work.path() / ("disk" + std::to_string(i)));
    }
    const std::vector<quil_test::Answer> answers = quil_test::answersForDisks(laterDisks);
    const fs::path restored = work.path() / "wiederhergestellt";
    fs::create_directories(restored);
    fs::create_directories(work.path() / "tmp");
    const auto result = quil_test::runQuil(work.path() / "disk1" / "QUIL.EXE", {restored.string()}, work.path(),
                                           work.path() / "tmp", answers);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.answered, answers.size()) << result.output;
    EXPECT_EQ(testing_support::readFile(restored / "Bericht_2026.bin"), testing_support::readFile(sent));
    EXPECT_EQ(quil_test::entries(restored), std::vector<std::string>{"Bericht_2026.bin"}) << "no temporary left";
}

INSTANTIATE_TEST_SUITE_P(Sets, SplitAndJoin,
                         ::testing::Values(SetCase{"ThreeDiskettes", 5000000, 1700000, 2, ""},
                                           SetCase{"FolderWithPartLimit", 3000000, 0, 1, "700"},
                                           SetCase{"DisketteSizeWithLimit", 3500000, 1241664, 2, "1000"}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
