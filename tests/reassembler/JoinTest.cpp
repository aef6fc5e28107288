// Where the join meets the medium: a part that gives more bytes than it was listed with, and a
// restored file whose flush or writeback the medium refuses. Each must end in a message and
// leave no file under the final name.
#include "reassembler/Join.h"
#include "reassembler/Failure.h"
#include "reassembler/OutputFile.h"
#include "support/InjectedFaults.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;

struct JoinFailureCase {
    const char* name;
    std::function<void(testing_support::InjectedFaults&)> inject;
    std::size_t partSize;
    bool grownPart; // the part is listed with 0 bytes but gives more when read
    const char* said;
};

class JoinFailure : public ::testing::TestWithParam<JoinFailureCase> {};

TEST_P(JoinFailure, EndsWithItsMessageAndNoFile) {
    const JoinFailureCase& c = GetParam();
    testing_support::TempDir dir;
    fs::create_directories(dir.path() / "set");
    fs::create_directories(dir.path() / "out");
    const std::string data = testing_support::randomBytes(c.partSize, 3);
    std::int64_t length = static_cast<std::int64_t>(c.partSize);
    if (c.grownPart) {
        // The kernel lists this file with length 0, yet reading it gives its text.
        fs::create_symlink("/proc/self/status", dir.path() / "set" / "QUILME01.sys");
        length = 10;
    } else {
        dir.write("set/QUILME01.sys", data);
    }
    testing_support::InjectedFaults faults;
    c.inject(faults);
    std::FILE* quiet = std::tmpfile();
    quil::Terminal terminal(quiet, quiet, quiet);

    std::string said;
    try {
        quil::OutputFile output((dir.path() / "out").string(), "a.bin");
        quil::Joiner(length, (dir.path() / "set").string(), dir.str(), terminal).run(output);
        output.commit(false);
    } catch (const quil::Failure& failure) {
        said = failure.what();
    }
    std::fclose(quiet);
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    EXPECT_TRUE(fs::is_empty(dir.path() / "out")) << "a file was left";
}

INSTANTIATE_TEST_SUITE_P(
    Table, JoinFailure,
    ::testing::Values(JoinFailureCase{"PartGrownWhileRead", [](auto&) {}, 0, true, "länger als die Originaldatei"},
                      JoinFailureCase{"FlushRefused", [](auto& f) { f.failFlushes(EIO); }, 5000, false, "nicht sicher"},
                      JoinFailureCase{"WritebackRefused", [](auto& f) { f.failWritebacks(EIO); }, 1300000, false,
                                      "nicht sicher"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
