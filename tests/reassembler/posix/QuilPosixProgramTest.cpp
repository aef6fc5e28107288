// QUIL.EXE on Linux: signals, TMPDIR as Linux reads it, and names in the bytes Linux keeps.
#include "../QuilRun.h"
#include "core/DiskSet.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <csignal>

#include <fstream>

namespace {

using quil_test::Answer;
using quil_test::entries;
using quil_test::makeReassembler;
using quil_test::runQuil;
using quil_test::trailer;
using quil_test::writeParts;
using testing_support::readFile;

class QuilPosixProgramTest : public quil_test::QuilSetFixture {};

TEST_F(QuilPosixProgramTest, CtrlCWhileWaitingForADiskLeavesNoHalfFile) {
    // By then the first part sits in the temporary file in the output folder.
    const std::string data = testing_support::randomBytes(3000, 17);
    writeParts(set(), data, {1000});
    makeReassembler(set(), trailer("3000", "", "halb.bin", "halb.bin"));
    const auto result = run({out().string()}, {{"Diskette mit QUILME02.sys", "", [] {
                                                    ::kill(quil_test::runningChild(), SIGINT);
                                                    return false;
                                                }}});
    EXPECT_EQ(result.exitCode, 128 + SIGINT) << result.output;
    EXPECT_NE(result.output.find("Abgebrochen. Es wurde keine Datei geschrieben."), std::string::npos) << result.output;
    EXPECT_TRUE(entries(out()).empty()) << "left: " << entries(out()).front();
    expectNoCopyLeft();
}

// A size limit the program was started with is met before the first byte, as FAT's 4 GiB is:
// said in a sentence, nothing written, and never the end by SIGXFSZ.
TEST_F(QuilPosixProgramTest, AFileLargerThanTheProcessMayWriteIsRefusedBeforeAnyByte) {
    constexpr std::uintmax_t kLength = 8 * 1024 * 1024;
    std::ofstream(set() / "QUILME01.sys").close();
    std::filesystem::resize_file(set() / "QUILME01.sys", kLength);
    makeReassembler(set(), trailer(std::to_string(kLength), "", "gross.bin", "gross.bin"));
    // The program and its copy in the temporary folder fit below the limit; the file does not.
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const rlimit limit{4 * 1024 * 1024, previous.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto result = run({out().string()});
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find("zu groß für den Zielordner"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("höchstens 4194304 Bytes"), std::string::npos) << result.output;
    EXPECT_TRUE(entries(out()).empty()) << "left: " << entries(out()).front();
    expectNoCopyLeft();
}

TEST_F(QuilPosixProgramTest, WithoutATemporaryFolderACompleteSetIsStillRestored) {
    writeParts(set(), "abc", {3});
    makeReassembler(set(), trailer("3", "", "a.txt", "a.txt"));
    // A TMPDIR that does not exist falls back to /tmp; one where nothing can be created leaves
    // the program running from the disk, with a note.
    const std::pair<std::filesystem::path, bool> cases[] = {{root_.path() / "fehlt", false}, {"/proc", true}};
    for (const auto& [tmpdir, note] : cases) {
        std::filesystem::remove(out() / "a.txt");
        const auto result = runQuil(program(), {out().string()}, root_.path(), tmpdir);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        const bool noted = result.output.find("Hinweis: QUIL läuft weiter vom Datenträger (kein temporärer Ordner in " +
                                              tmpdir.string()) != std::string::npos;
        EXPECT_EQ(noted, note) << result.output;
        EXPECT_EQ(readFile(out() / "a.txt"), "abc");
    }
}

TEST_F(QuilPosixProgramTest, HandedTheQuilExeOfAWindowsSetTheInstalledProgramRestoresIt) {
    // What a double-click runs: the installed program on a set whose QUIL.EXE is a Windows
    // program with its names in cp1252. It waits for Enter before its window closes.
    writeParts(set(), "Inhalt", {4, 2});
    const std::string names = trailer("6", "C:\\Daten\\", "B\xe4r \2041\223 \200.txt", "BR1~1.TXT");
    std::ofstream(set() / "quil.exe", std::ios::binary) << "MZ\n" << names;
    const auto result = runQuil(QUIL_PROGRAM, {"--warten", (set() / "quil.exe").string(), out().string()}, root_.path(),
                                tmp(), {{"Zum Schließen des Fensters die Eingabetaste", ""}});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.answered, 1u) << result.output;
    EXPECT_EQ(readFile(out() / "Bär „1“ €.txt"), "Inhalt") << result.output;
    EXPECT_TRUE(entries(tmp()).empty());
}

TEST_F(QuilPosixProgramTest, TheNameIsReadInTheTextTheTrailerMarks) {
    const std::string mark(core::diskset::kUtf8Mark);
    struct Case {
        std::string folder; // line 2, with the mark or without
        std::string name;
        std::string restored;
    };
    const Case cases[] = {
        // Unmarked: a Windows set, its names in Windows-1252, even where the bytes pass for UTF-8.
        {"C:\\", "Gro\xDF.txt", "Groß.txt"},
        {"C:\\", "Kunden \xC4\x96Z.xls", "Kunden Ä–Z.xls"},
        // Marked, also on a line 2 without a folder: UTF-8, exactly as written.
        {mark, "Groß.txt", "Groß.txt"},
        {mark + "Z:\\", "Kunden ĖZ.xls", "Kunden ĖZ.xls"},
        // Marked but no UTF-8: a Linux name in the bytes its file system keeps, and the same
        // bytes here; read as Windows-1252 it would come back as another file.
        {mark, "Gro\xDF.txt", "Gro\xDF.txt"},
    };
    writeParts(set(), "Inhalt", {6});
    for (const Case& c : cases) {
        makeReassembler(set(), trailer("6", c.folder, c.name, "GROSS.TXT"));
        const auto result = run({out().string()});
        EXPECT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(entries(out()), std::vector<std::string>{c.restored}) << result.output;
        std::filesystem::remove(out() / c.restored);
    }
}

} // namespace
