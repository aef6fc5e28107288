// Which reassembler a start ships and in which text its trailer names the file.
#include "app/ReassemblerPolicy.h"

#include <gtest/gtest.h>

namespace {

struct PolicyCase {
    const char* what;
    bool windowsProgram;
    std::vector<std::string> arguments;
    const char* shipped;
    TrailerText text;
    std::vector<std::string> files;
};

TEST(ReassemblerPolicy, ChoosesByTheOptionInFrontAndByTheSystem) {
    const std::string own = "Z:\\opt\\sw\\QUIL.SYS";
    const std::string forWindows = "Z:\\opt\\sw\\windows\\QUIL.SYS";
    const std::vector<PolicyCase> cases = {
        {"Linux", false, {"Z:\\a.zip"}, own.c_str(), TrailerText::Utf8, {"Z:\\a.zip"}},
        {"Linux, option",
         false,
         {"--fuer-windows", "Z:\\a.zip"},
         forWindows.c_str(),
         TrailerText::AnsiCodePage,
         {"Z:\\a.zip"}},
        {"option after the file is a file",
         false,
         {"Z:\\a.zip", "--fuer-windows"},
         own.c_str(),
         TrailerText::Utf8,
         {"Z:\\a.zip", "--fuer-windows"}},
        {"Windows", true, {"Z:\\a.zip"}, own.c_str(), TrailerText::AnsiCodePage, {"Z:\\a.zip"}},
        {"Windows, option",
         true,
         {"--fuer-windows", "Z:\\a.zip"},
         own.c_str(),
         TrailerText::AnsiCodePage,
         {"Z:\\a.zip"}},
    };
    for (const PolicyCase& c : cases) {
        rt::ProgramFacts facts;
        facts.programFolder = "Z:\\opt\\sw";
        facts.windowsProgram = c.windowsProgram;
        for (const std::string& argument : c.arguments) {
            facts.arguments.push_back({argument});
        }
        const ReassemblerChoice choice = policy::reassemblerChoice(facts);
        EXPECT_EQ(choice.shipped, c.shipped) << c.what;
        EXPECT_EQ(choice.trailerText, c.text) << c.what;
        EXPECT_EQ(choice.installed, (std::vector<std::string>{own, forWindows})) << c.what;
        std::vector<std::string> files;
        for (const rt::ProgramArgument& argument : policy::fileArguments(facts)) {
            files.push_back(argument.path);
        }
        EXPECT_EQ(files, c.files) << c.what;
    }
}

} // namespace
