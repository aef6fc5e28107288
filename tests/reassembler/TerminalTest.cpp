// Reading the user's answers: what counts as yes, as a changed disk, as a folder, as abort.
#include "reassembler/Terminal.h"

#include <gtest/gtest.h>

namespace {

using Kind = quil::DiskAnswer::Kind;

TEST(TerminalTest, DiskAnswers) {
    struct Case {
        std::optional<std::string> line;
        Kind kind;
        std::string folder;
    };
    const Case cases[] = {
        {std::nullopt, Kind::Abort, ""},
        {"", Kind::Retry, ""},
        {"  \r", Kind::Retry, ""},
        {"q", Kind::Abort, ""},
        {" Q ", Kind::Abort, ""},
        {"/media/stick", Kind::Folder, "/media/stick"},
        {"  disk2 \r", Kind::Folder, "disk2"},
        {"'/home/u/Meine Teile'", Kind::Folder, "/home/u/Meine Teile"},
        {"\"/home/u/Meine Teile\"", Kind::Folder, "/home/u/Meine Teile"},
        {"'halb", Kind::Folder, "'halb"},
        {"qq", Kind::Folder, "qq"},
    };
    for (const Case& c : cases) {
        const quil::DiskAnswer answer = quil::interpretDiskAnswer(c.line);
        EXPECT_EQ(answer.kind, c.kind) << c.line.value_or("<EOF>");
        EXPECT_EQ(answer.folder, c.folder) << c.line.value_or("<EOF>");
    }
}

TEST(TerminalTest, FolderAnswers) {
    using Where = quil::FolderAnswer::Kind;
    const std::pair<std::optional<std::string>, Where> cases[] = {
        {std::nullopt, Where::No}, {"", Where::No},    {"n", Where::No},          {"q", Where::No},
        {" Q ", Where::No},        {"ja", Where::Yes}, {"anders", Where::Folder}, {"./q", Where::Folder},
    };
    for (const auto& [line, kind] : cases) {
        EXPECT_EQ(quil::interpretFolderAnswer(line).kind, kind) << line.value_or("<EOF>");
    }
}

TEST(TerminalTest, OnlyJaIsYes) {
    const std::pair<std::optional<std::string>, bool> cases[] = {
        {"j", true},     {"J", true},  {"ja", true}, {" Ja\r", true}, {"n", false},
        {"nein", false}, {"y", false}, {"", false},  {"jx", false},   {std::nullopt, false},
    };
    for (const auto& [line, yes] : cases) {
        EXPECT_EQ(quil::interpretYes(line), yes) << line.value_or("<EOF>");
    }
}

} // namespace
