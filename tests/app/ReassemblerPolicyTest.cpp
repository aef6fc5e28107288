// Which reassembler a start ships and in which text its trailer names the file.
#include "app/ReassemblerPolicy.h"

#include <gtest/gtest.h>

namespace {

TEST(ReassemblerPolicy, ChoosesByTheOptionsInFrontAndByTheSystem) {
    const std::string own = "Z:\\sw\\QUIL.SYS", forWindows = "Z:\\sw\\windows\\QUIL.SYS";
    const rt::ProgramArgument file{"Z:\\a.zip"}, option{"--fuer-windows"}, spare{"--mit-ersatzdiskette"};
    struct Case {
        bool windowsProgram;
        std::vector<rt::ProgramArgument> arguments;
        std::string shipped;
        core::TrailerText text;
        std::vector<rt::ProgramArgument> files;
        bool withRecovery = false;
    };
    const Case cases[] = {
        {false, {file}, own, core::TrailerText::Utf8, {file}},
        {false, {option, file}, forWindows, core::TrailerText::AnsiCodePage, {file}},
        {false, {file, option}, own, core::TrailerText::Utf8, {file, option}}, // after a file it is a file
        {true, {file}, own, core::TrailerText::AnsiCodePage, {file}},
        {true, {option, file}, own, core::TrailerText::AnsiCodePage, {file}},
        {false, {spare, file}, own, core::TrailerText::Utf8, {file}, true},
        {false, {option, spare, file}, forWindows, core::TrailerText::AnsiCodePage, {file}, true},
        {false, {file, spare}, own, core::TrailerText::Utf8, {file, spare}, false},
        {true, {spare, file}, own, core::TrailerText::AnsiCodePage, {file}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        rt::ProgramFacts facts;
        facts.programFolder = "Z:\\sw";
        facts.windowsProgram = c.windowsProgram;
        facts.arguments = c.arguments;
        const core::ReassemblerChoice choice = app::reassemblerChoice(facts);
        EXPECT_EQ(choice.shipped, c.shipped);
        EXPECT_EQ(choice.trailerText, c.text);
        EXPECT_EQ(choice.installed, (std::vector<std::string>{own, forWindows}));
        EXPECT_EQ(app::fileArguments(facts), c.files);
        EXPECT_EQ(app::withRecoveryData(facts), c.withRecovery);
    }
}

} // namespace
