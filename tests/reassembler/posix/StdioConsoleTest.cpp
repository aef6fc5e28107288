// The terminal through stdio streams: lines up to end of input, the question shown first.
#include "reassembler/posix/StdioConsole.h"
#include "reassembler/Terminal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using Kind = quil::DiskAnswer::Kind;

TEST(TerminalTest, ReadsLinesUntilEndOfInputAndPutsTheQuestionFirst) {
    char inputText[] = "erste\nzweite ohne Ende";
    std::unique_ptr<std::FILE, decltype(&std::fclose)> in(fmemopen(inputText, sizeof inputText - 1, "r"), &std::fclose);
    char* outText = nullptr;
    std::size_t outSize = 0;
    std::unique_ptr<std::FILE, decltype(&std::fclose)> out(open_memstream(&outText, &outSize), &std::fclose);
    ASSERT_TRUE(in && out);
    quil::StdioConsole console(in.get(), out.get(), out.get());
    quil::Terminal terminal(console);

    const quil::DiskAnswer first = terminal.askForDisk("QUILME02.sys");
    EXPECT_EQ(first.kind, Kind::Folder);
    EXPECT_EQ(first.folder, "erste");
    EXPECT_EQ(terminal.readLine(), "zweite ohne Ende");
    EXPECT_EQ(terminal.readLine(), std::nullopt);
    EXPECT_FALSE(terminal.askYesNo("Überschreiben? (j/n)"));
    out.reset();
    const std::string shown(outText, outSize);
    std::free(outText);
    EXPECT_EQ(shown.rfind("Bitte legen Sie die Diskette mit QUILME02.sys ein und drücken Sie die Eingabetaste.", 0), 0u)
        << shown;
    EXPECT_NE(shown.find("Überschreiben? (j/n)"), std::string::npos) << shown;
}

} // namespace
