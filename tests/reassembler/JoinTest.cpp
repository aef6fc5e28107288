// Where the join meets the medium: a part that gives more or fewer bytes than listed, and a
// restored file whose flush or writeback the medium refuses. Each must end in a message and
// leave no file under the final name.
#include "reassembler/Join.h"
#include "JoinCases.h"
#include "reassembler/Failure.h"
#include "reassembler/OutputFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using quil_test::JoinFailureCase;

// A console nobody reads: the join's progress lines go nowhere, every question reads end of input.
class SilentConsole : public quil::Console {
public:
    void write(std::string_view) override {}
    void writeError(std::string_view) override {}
    std::optional<std::string> readLine() override { return std::nullopt; }
};

class JoinFailure : public ::testing::TestWithParam<JoinFailureCase> {};

TEST_P(JoinFailure, EndsWithItsMessageAndNoFile) {
    const JoinFailureCase& c = GetParam();
    testing_support::TempDir dir;
    fs::create_directories(dir.path() / "set");
    fs::create_directories(dir.path() / "out");
    std::int64_t length = static_cast<std::int64_t>(c.partSize);
    if (c.stagePart) {
        length = c.stagePart(dir);
    } else {
        dir.write("set/QUILME01.sys", testing_support::randomBytes(c.partSize, 3));
    }
    testing_support::InjectedFaults faults;
    c.inject(faults);
    SilentConsole console;
    quil::Terminal terminal(console);

    std::string said;
    try {
        quil::OutputFile output((dir.path() / "out").string(), "a.bin");
        quil::Joiner(length, (dir.path() / "set").string(), dir.str(), terminal).run(output);
        output.commit(false);
    } catch (const quil::Failure& failure) {
        said = failure.what();
    }
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    EXPECT_TRUE(fs::is_empty(dir.path() / "out")) << "a file was left";
}

std::vector<JoinFailureCase> allCases() {
    // Any error the medium reports will do: the message names the failure, not its number.
    std::vector<JoinFailureCase> cases{
        {"FlushRefused", [](auto& f) { f.failFlushes(5); }, 5000, {}, "nicht sicher"},
        {"WritebackRefused", [](auto& f) { f.failWritebacks(5); }, 1300000, {}, "nicht sicher"},
    };
    for (JoinFailureCase& hostCase : quil_test::hostJoinFailureCases()) {
        cases.push_back(std::move(hostCase));
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Table, JoinFailure, ::testing::ValuesIn(allCases()),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(OutputFileTest, ACompleteFileThatCannotTakeItsNameIsKeptBesideIt) {
    // The word goes before the extension, so that the kept file still opens with its program; a
    // dot-file or a name without a dot has none. A name kept aside already is never replaced.
    struct Case {
        const char* name;
        const char* takenAside; // a file already there, or nullptr
        const char* kept;
    };
    const Case cases[] = {
        {"a.bin", nullptr, "a (wiederhergestellt).bin"},
        {"archiv.tar.gz", nullptr, "archiv.tar (wiederhergestellt).gz"},
        {".profile", nullptr, ".profile (wiederhergestellt)"},
        {"LIESMICH", nullptr, "LIESMICH (wiederhergestellt)"},
        {"a.bin", "a (wiederhergestellt).bin", "a (wiederhergestellt 2).bin"},
    };
    for (const Case& c : cases) {
        // A folder with files has the name, so the rename is refused on every host.
        testing_support::TempDir dir;
        fs::create_directories(dir.path() / c.name / "inhalt");
        if (c.takenAside != nullptr) {
            dir.write(c.takenAside, "alt");
        }
        const std::string data = testing_support::randomBytes(5000, 4);
        quil::OutputFile output(dir.str(), c.name);
        output.write(data.data(), data.size());
        const fs::path kept = dir.path() / c.kept;
        try {
            output.commit(true);
            ADD_FAILURE() << c.name << ": the name was given";
        } catch (const quil::Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find("liegt unter " + kept.string() + "."), std::string::npos)
                << failure.what();
        }
        EXPECT_TRUE(testing_support::readFile(kept) == data) << c.kept;
        if (c.takenAside != nullptr) {
            EXPECT_EQ(testing_support::readFile(dir.path() / c.takenAside), "alt");
        }
    }
}

} // namespace
