// A file split by the engine onto simulated diskettes comes back byte for byte from QUIL.EXE,
// which asks for each further disk on its terminal; both programs flush what they wrote before
// they call it done.
#include "DriverRun.h"
#include "QuilRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::TempDir;

struct SetCase {
    const char* name;
    std::size_t size;
    // Room per simulated disk beyond the size of QUIL.SYS (which is much larger in a sanitizer
    // build); 0: a folder target.
    std::uintmax_t roomBeyondReassembler;
    std::size_t minimumDisks;
    const char* limit; // Kbyte, empty: none
    // A process limit beyond QUIL.SYS's size: writes past it get EFBIG and SIGXFSZ; 0: none.
    std::uintmax_t fileLimitBeyondReassembler = 0;
};

// Words that start a program under strace, which writes to log the program's calls that flush a
// file or give it a name, with the path behind each handle; none, and why, where it cannot run.
std::vector<std::string> syncTracer(const fs::path& log, std::string& whyNot) {
    const std::string strace = "/usr/bin/strace";
    if (std::system((strace + " -o /dev/null true >/dev/null 2>&1").c_str()) != 0) {
        whyNot = "strace is missing (scripts/install-deps.sh installs it) or may not trace here (ptrace)";
        return {};
    }
    // LeakSanitizer cannot work under a tracer; the sanitizer build keeps its other checks.
    return {"/usr/bin/env",
            "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1",
            strace,
            "-fy",
            "-s4096",
            "-o" + log.string(),
            "-etrace=fsync,fdatasync,link,linkat,rename,renameat,renameat2",
            "--"};
}

// Whether the log holds a flush (fsync or fdatasync) of a file whose path starts with prefix.
bool flushed(const std::string& log, const std::string& prefix) {
    for (const char* call : {"fsync(", "fdatasync("}) {
        for (std::size_t at = log.find(call); at != std::string::npos; at = log.find(call, at + 1)) {
            const std::size_t handle = log.find('<', at);
            if (handle < log.find('\n', at) && log.compare(handle + 1, prefix.size(), prefix) == 0) {
                return true;
            }
        }
    }
    return false;
}

class SplitAndJoin : public ::testing::TestWithParam<SetCase> {
protected:
    fs::path disk(std::size_t i) const { return work_.path() / ("disk" + std::to_string(i)); }

    // Splits the source onto the case's disks, then joins it with the first disk's QUIL.EXE, each
    // program started behind its tracer's words (none: as it is). Returns how many disks it took.
    std::size_t splitAndJoin(const std::vector<std::string>& splitTracer = {},
                             std::vector<std::string> joinTracer = {}) {
        const SetCase& c = GetParam();
        std::string disks;
        for (std::size_t i = 1; i <= c.minimumDisks + 2; ++i) {
            fs::create_directories(disk(i));
            disks += (i > 1 ? "," : "") + disk(i).string();
        }
        std::string arguments = "--source '" + sent_.string() + "' --autorun";
        if (c.roomBeyondReassembler != 0) {
            const auto capacity = fs::file_size(fs::path(SPLITWERK_BUILD_DIR) / "QUIL.SYS") + c.roomBeyondReassembler;
            arguments += " --floppy '" + disks + "' --capacity " + std::to_string(capacity);
        } else {
            arguments += " --folder '" + disk(1).string() + "'";
        }
        if (*c.limit != '\0') {
            arguments += std::string(" --max ") + c.limit + " --unit Kbyte";
        }
        std::string tracer;
        for (const std::string& word : splitTracer) {
            tracer += "'" + word + "' ";
        }
        std::uintmax_t fileLimit = 0;
        if (c.fileLimitBeyondReassembler != 0) {
            fileLimit = fs::file_size(fs::path(SPLITWERK_BUILD_DIR) / "QUIL.SYS") + c.fileLimitBeyondReassembler;
            tracer += "prlimit --fsize=" + std::to_string(fileLimit) + " -- ";
        }
        const auto [summary, status] = e2e::runDriver(arguments, tracer);
        EXPECT_EQ(status, 0) << summary;
        if (status != 0) {
            return 0;
        }
        if (fileLimit != 0) {
            EXPECT_NE(summary.find(" dialogs=1 "), std::string::npos) << summary;
            for (const auto& file : fs::directory_iterator(disk(1))) {
                EXPECT_LE(file.file_size(), fileLimit) << file.path();
            }
        }
        const std::size_t used = e2e::disksUsed(summary);
        EXPECT_GE(used, c.minimumDisks) << summary;
        for (std::size_t i = 2; i <= used; ++i) {
            EXPECT_FALSE(fs::exists(disk(i) / "QUIL.EXE")) << "only the first disk";
        }

        // Each later disk is "inserted" by typing the folder that holds it.
        std::vector<fs::path> laterDisks;
        for (std::size_t i = 2; i <= used; ++i) {
            laterDisks.push_back(disk(i));
        }
        const std::vector<quil_test::Answer> answers = quil_test::answersForDisks(laterDisks);
        fs::create_directories(restored_);
        fs::create_directories(work_.path() / "tmp");
        joinTracer.insert(joinTracer.end(), {(disk(1) / "QUIL.EXE").string(), restored_.string()});
        const auto result = quil_test::runQuil(joinTracer.front(), {joinTracer.begin() + 1, joinTracer.end()},
                                               work_.path(), work_.path() / "tmp", answers);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(result.answered, answers.size()) << result.output;
        return used;
    }

    TempDir work_;
    const fs::path sent_ = work_.writeRandom("Quelle/Bericht_2026.bin", GetParam().size, 5);
    const fs::path restored_ = work_.path() / "wiederhergestellt";
};

TEST_P(SplitAndJoin, QuilGivesBackTheSource) {
    splitAndJoin();
    EXPECT_EQ(readFile(restored_ / "Bericht_2026.bin"), readFile(sent_));
    EXPECT_EQ(quil_test::entries(restored_), std::vector<std::string>{"Bericht_2026.bin"}) << "no temporary left";
}

// Finished means on the medium: every file of the set has been flushed when the driver ends, and
// QUIL.EXE flushes the restored file before it gives it its name. The calls are the system's own,
// as in the shipped programs; the test programs replace them with their fault seams.
TEST_P(SplitAndJoin, EachFileIsFlushedBeforeTheProgramIsDone) {
    std::string whyNot;
    const std::vector<std::string> splitTracer = syncTracer(work_.path() / "split.log", whyNot);
    if (splitTracer.empty()) {
        GTEST_SKIP() << whyNot;
    }
    const std::size_t used = splitAndJoin(splitTracer, syncTracer(work_.path() / "join.log", whyNot));
    ASSERT_FALSE(HasFailure());

    const std::string split = readFile(work_.path() / "split.log");
    for (std::size_t i = 1; i <= used; ++i) {
        for (const auto& file : fs::directory_iterator(disk(i))) {
            EXPECT_TRUE(flushed(split, file.path().string() + ">")) << file.path() << " never flushed:\n" << split;
        }
    }
    const std::string join = readFile(work_.path() / "join.log");
    const std::size_t named = join.find("\"" + (restored_ / "Bericht_2026.bin").string() + "\") = 0");
    ASSERT_NE(named, std::string::npos) << "the restored file never took its name:\n" << join;
    EXPECT_TRUE(flushed(join.substr(0, named), (restored_ / "").string())) << "not flushed before its name:\n" << join;
}

INSTANTIATE_TEST_SUITE_P(Sets, SplitAndJoin,
                         ::testing::Values(SetCase{"ThreeDiskettes", 5000000, 1700000, 2, ""},
                                           SetCase{"FolderWithPartLimit", 3000000, 0, 1, "700"},
                                           SetCase{"DisketteSizeWithLimit", 3500000, 1241664, 2, "1000"},
                                           SetCase{"FolderWith2048MbyteParts", 300000, 0, 1, "2097152"},
                                           SetCase{"FolderOnAMediumWithAFileSizeLimit", 3000000, 0, 1, "", 700000}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
