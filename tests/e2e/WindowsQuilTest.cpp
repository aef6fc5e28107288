// Sets written here for a Windows PC (the Windows reassembler beside the Linux one, the trailer in
// Windows-1252) come back byte for byte and under their name from the Windows QUIL.EXE, run
// under Wine: once from a folder, once from three diskettes that take turns in drive A: (each a
// 1440 KiB tmpfs; Wine's drive letter is re-pointed from one to the next, as a user swaps disks).
#include "DriverRun.h"
#include "QuilProcess.h"
#include "QuilRun.h"
#include "support/PrivateMount.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;
using testing_support::TmpfsMount;

constexpr const char* kName = "Bericht für den Windows-PC.bin";

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

class WindowsQuilTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(WINDOWS_QUIL)) {
            GTEST_SKIP() << "this build has no Windows QUIL.SYS (mingw-w64 missing or switched off)";
        }
        if (std::system("'" WINE_RUN "' --probe >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "Wine cannot run the 32-bit Windows QUIL.EXE here (scripts/wine-run.sh --probe says why)";
        }
        source_ = work_.writeRandom(std::string("Quelle/") + kName, 3200000, 31);
        fs::create_directories(out());
        fs::create_directories(work_.path() / "tmp");
    }
    void TearDown() override {
        if (!prefix_.empty()) {
            wine("--kill");
        }
    }

    fs::path out() const { return work_.path() / "Ziel"; }
    // The driver as the program is started for a Windows PC: the build folder holds windows\QUIL.SYS.
    static std::string forWindowsPc() {
        return " --quil " + quoted(fs::path(WINDOWS_QUIL).parent_path().parent_path()) + " --fuer-windows";
    }

    // A Wine prefix of the test's own: its wineserver opens the files, so it has to be started
    // from this process, which sees the private mounts. An older server of it goes first.
    bool startWine(const std::string& test) {
        prefix_ = std::string(SPLITWERK_BUILD_DIR) + "/wineprefix-" + test;
        wine("--kill");
        return wine("--init") == 0;
    }
    int wine(const std::string& what) const {
        const std::string command = "'" WINE_RUN "' --default-prefix='" + prefix_ + "' " + what + " >/dev/null 2>&1";
        return std::system(command.c_str());
    }
    quil_test::RunResult join(const std::string& program, std::vector<quil_test::Answer> answers = {}) {
        return quil_test::runQuil(WINE_RUN, {"--default-prefix=" + prefix_, program, quil_test::trailerFolder(out())},
                                  work_.path(), work_.path() / "tmp", std::move(answers));
    }
    void expectRestored(const quil_test::RunResult& result) {
        ASSERT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(testing_support::readFile(out() / quil_test::utf8Path(kName)), testing_support::readFile(source_));
        EXPECT_EQ(quil_test::entries(out()), std::vector<std::string>{kName}) << "no temporary left";
    }

    TempDir work_;
    fs::path source_;
    std::string prefix_;
};

TEST_F(WindowsQuilTest, ASetInAFolderJoins) {
    const fs::path set = work_.path() / "Satz";
    fs::create_directories(set);
    const auto [summary, status] = e2e::runDriver("--source " + quoted(source_) + " --folder " + quoted(set) +
                                                  forWindowsPc() + " --max 700 --unit Kbyte --autorun");
    ASSERT_EQ(status, 0) << summary;
    const std::string quil = testing_support::readFile(set / "QUIL.EXE");
    EXPECT_EQ(quil.substr(0, 2), "MZ") << "the Windows program on the set";
    EXPECT_NE(quil.find("\nBericht f\xFCr den Windows-PC.bin\r\n"), std::string::npos) << "the name in cp1252";
    ASSERT_TRUE(startWine("folder"));

    expectRestored(join((set / "QUIL.EXE").string()));
}

TEST_F(WindowsQuilTest, AThreeDiskSetJoinsThroughDriveA) {
    std::vector<TmpfsMount> disks;
    std::string floppies;
    for (int i = 1; i <= 3; ++i) {
        std::string whyNot;
        // A little more than 1440 KiB: the driver keeps to a diskette's capacity itself, but
        // tmpfs counts whole pages.
        auto disk = TmpfsMount::mount((work_.path() / ("disk" + std::to_string(i))).string(), 1440 + 32, whyNot);
        if (!disk) {
            GTEST_SKIP() << "no private tmpfs diskette: " << whyNot;
        }
        floppies += (i > 1 ? "," : "") + disk->directory();
        disks.push_back(std::move(*disk));
    }
    const auto [summary, status] = e2e::runDriver("--source " + quoted(source_) + " --floppy '" + floppies +
                                                  "' --capacity 1474560" + forWindowsPc());
    ASSERT_EQ(status, 0) << summary;
    ASSERT_EQ(e2e::disksUsed(summary), 3u) << summary;
    ASSERT_TRUE(startWine("drive-a"));

    const fs::path driveA = fs::path(prefix_) / "dosdevices" / "a:";
    const auto insert = [&](const std::string& disk) {
        fs::remove(driveA);
        fs::create_directory_symlink(disk, driveA);
        return true;
    };
    insert(disks[0].directory());
    // The program asks for each later disk by its first part; the test puts it into A: and
    // presses Enter.
    std::vector<quil_test::Answer> answers = quil_test::answersForDisks({disks[1].directory(), disks[2].directory()});
    ASSERT_EQ(answers.size(), 2u);
    for (std::size_t i = 0; i < answers.size(); ++i) {
        answers[i].reply = "";
        answers[i].action = [&, i] { return insert(disks[i + 1].directory()); };
    }
    const quil_test::RunResult result = join("A:\\QUIL.EXE", answers);
    EXPECT_EQ(result.answered, 2u) << result.output;
    expectRestored(result);
}

} // namespace
