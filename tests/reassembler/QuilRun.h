// Running the real QUIL.EXE in a test: building a disk set by hand (the built QUIL.SYS with a
// trailer the test writes, part files) and driving the program through its terminal, with
// answers given when a question appears.
#pragma once

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quil_test {

// The trailer bytes: four lines, each ended by CR LF.
std::string trailer(const std::string& length, const std::string& folder, const std::string& longName,
                    const std::string& givenName);

// Copies the built QUIL.SYS to folder/QUIL.EXE and appends trailerBytes.
std::filesystem::path makeReassembler(const std::filesystem::path& folder, const std::string& trailerBytes);

// Writes the bytes of data cut at the given sizes as parts firstPart, firstPart + 1, ...
// into folder; returns how many bytes were used.
std::size_t writeParts(const std::filesystem::path& folder, const std::string& data,
                       const std::vector<std::size_t>& sizes, long firstPart = 1, std::size_t offset = 0);

// A set made with recovery data in folder: the parts, QUIL.EXE with a marked trailer naming the
// file name, and the recovery stream (returned), written as QUILME.par2 unless inPieces.
// tie: the set's, in its marker line and its stream (empty: a set written before the tie).
// olderSet: the whole file's checksum as sets wrote it before it was the parts' (the MD5 of the bytes).
std::string writeRecoverySet(const std::filesystem::path& folder, const std::string& data,
                             const std::vector<std::size_t>& sizes, const std::string& name, bool inPieces = false,
                             const std::string& tie = "0123456789abcdef", bool olderSet = false);

// One scripted answer: when the output since the last answer contains prompt, run action
// (may be empty) and type reply plus a line end. An action that returns false closes the
// input instead, so the program reads end of input and ends.
struct Answer {
    std::string prompt;
    std::string reply;
    std::function<bool()> action = {};
};

struct RunResult {
    int exitCode = -1;
    std::string output; // stdout and stderr as they came
    std::size_t answered = 0;
};

// Runs program with arguments in workingFolder, its temporary folder set to tmpFolder. After the last
// answer the input is closed, so any further question reads end of input. A run that has not
// ended after timeoutSeconds is killed.
RunResult runQuil(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& workingFolder, const std::filesystem::path& tmpFolder,
                  std::vector<Answer> answers = {}, int timeoutSeconds = 60);

// The answers that "insert" each later disk of a set by typing its folder: the prompt for the
// disk's lowest-numbered part gets the folder.
std::vector<Answer> answersForDisks(const std::vector<std::filesystem::path>& laterDisks);

// The process runQuil is driving right now (its id), for an action that signals it.
int runningChild();

// Names of the entries of a folder, sorted.
std::vector<std::string> entries(const std::filesystem::path& folder);

// A path as UTF-8 text, and UTF-8 text as a path, the same on every host.
std::string utf8Text(const std::filesystem::path& path);
std::filesystem::path utf8Path(const std::string& text);

// How often needle occurs in text.
std::size_t occurrences(const std::string& text, const std::string& needle);

// A set on disk for a run of the real program: <root>/set (the first disk or the folder),
// <root>/out, <root>/tmp for the temporary folder.
class QuilSetFixture : public ::testing::Test {
protected:
    QuilSetFixture() {
        for (const char* folder : {"set", "out", "tmp"}) {
            std::filesystem::create_directories(root_.path() / folder);
        }
    }
    std::filesystem::path set() const { return root_.path() / "set"; }
    std::filesystem::path out() const { return root_.path() / "out"; }
    std::filesystem::path tmp() const { return root_.path() / "tmp"; }
    std::filesystem::path program() const { return set() / "QUIL.EXE"; }

    RunResult run(const std::vector<std::string>& arguments, std::vector<Answer> answers = {}) {
        return runQuil(program(), arguments, root_.path(), tmp(), std::move(answers));
    }
    // The private copy that the program ran as has removed itself.
    void expectNoCopyLeft() { EXPECT_TRUE(entries(tmp()).empty()) << "left there: " << entries(tmp()).front(); }

    testing_support::TempDir root_;
};

} // namespace quil_test
