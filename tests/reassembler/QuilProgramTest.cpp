// The real QUIL.EXE on sets built by hand in temporary folders: folder sets, sets spread over
// folders that stand for disks, damaged trailers, names that try to leave the output folder,
// existing files, missing and overlong parts.
#include "QuilProcess.h"
#include "QuilRun.h"

#include "core/DiskSet.h"
#include "reassembler/PartNames.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

using quil_test::Answer;
using quil_test::entries;
using quil_test::makeReassembler;
using quil_test::runQuil;
using quil_test::trailer;
using quil_test::utf8Path;
using quil_test::utf8Text;
using quil_test::writeParts;
using testing_support::readFile;
using testing_support::TempDir;

class QuilProgramTest : public quil_test::QuilSetFixture {};

TEST_F(QuilProgramTest, FolderSetsRoundTrip) {
    struct Case {
        std::vector<std::size_t> sizes;
        const char* renamedPart; // a part shown in lower case, as FAT media may show it
    };
    const Case cases[] = {
        {{100000, 100000, 54321}, "quilme02.sys"},
        {{1}, nullptr},
        {{131072, 131072, 131072, 7}, "Quilme04.SYS"},
        {{}, nullptr}, // an empty source has no parts
    };
    unsigned seed = 1;
    for (const Case& c : cases) {
        TempDir root;
        const std::filesystem::path folder = root.path() / "set";
        const std::filesystem::path target = root.path() / "out";
        std::filesystem::create_directories(target);
        std::filesystem::create_directories(root.path() / "tmp");
        std::size_t length = 0;
        for (std::size_t size : c.sizes) {
            length += size;
        }
        const std::string data = testing_support::randomBytes(length, seed++);
        makeReassembler(folder,
                        trailer(std::to_string(length), "Q:\\nirgends\\", "Großer Bericht.pdf", "GROSSE~1.PDF"));
        writeParts(folder, data, c.sizes);
        if (c.renamedPart != nullptr) {
            const std::string upper = core::diskset::partName(c.renamedPart[7] - '0');
            std::filesystem::rename(folder / upper, folder / c.renamedPart);
        }

        const auto result = runQuil(folder / "QUIL.EXE", {target.string()}, root.path(), root.path() / "tmp");
        EXPECT_EQ(result.exitCode, 0) << result.output;
        EXPECT_NE(result.output.find("Die Datei Großer Bericht.pdf wurde in " + utf8Text(target) +
                                     " wiederhergestellt (" + std::to_string(length) + " Bytes)."),
                  std::string::npos)
            << result.output;
        EXPECT_EQ(entries(target), std::vector<std::string>{"Großer Bericht.pdf"}) << result.output;
        EXPECT_TRUE(readFile(target / utf8Path("Großer Bericht.pdf")) == data) << "content differs, length " << length;
        EXPECT_TRUE(entries(root.path() / "tmp").empty());
        EXPECT_EQ(result.output.find("Bitte legen Sie"), std::string::npos) << "a complete set asked for a disk";
    }
}

// A file past 4 GiB from two parts past 2 GiB each: every length and position on the way needs
// more than 32 bits. The parts are sparse with a byte set at each boundary, the holes read as
// zeros; only the restored file is written in full.
TEST_F(QuilProgramTest, AFilePast4GiBIsRestored) {
    constexpr std::int64_t kSizes[] = {(std::int64_t{1} << 31) + 4103, (std::int64_t{1} << 31) + 12345};
    constexpr std::int64_t kLength = kSizes[0] + kSizes[1];
    if (std::filesystem::space(out()).available < static_cast<std::uintmax_t>(kLength) + (std::uintmax_t{1} << 30)) {
        GTEST_SKIP() << "needs 5 GiB free beside the test's folder for the restored file";
    }
    // Whole-file offsets and their bytes: the parts' ends and starts, 2^31 and 2^32, and holes.
    const std::pair<std::int64_t, char> bytes[] = {
        {0, 'A'},           {(std::int64_t{1} << 31) - 1, 'B'}, {std::int64_t{1} << 31, 'C'}, {kSizes[0] - 1, 'D'},
        {kSizes[0], 'E'},   {(std::int64_t{1} << 32) - 1, 'F'}, {std::int64_t{1} << 32, 'G'}, {kLength - 1, 'H'},
        {kSizes[0] + 1, 0}, {std::int64_t{3} << 30, 0}};
    for (int part = 0; part < 2; ++part) {
        const std::filesystem::path path = set() / core::diskset::partName(part + 1);
        std::ofstream(path).close();
        std::filesystem::resize_file(path, static_cast<std::uintmax_t>(kSizes[part]));
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        for (const auto& [at, byte] : bytes) {
            if (const std::int64_t inPart = at - part * kSizes[0]; inPart >= 0 && inPart < kSizes[part] && byte) {
                file.seekp(inPart).put(byte);
            }
        }
    }
    makeReassembler(set(), trailer(std::to_string(kLength), "", "gross.img", "gross.img"));

    const auto result = runQuil(program(), {out().string()}, root_.path(), tmp(), {}, 600);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find(std::to_string(kLength) + " Bytes)."), std::string::npos) << result.output;
    ASSERT_EQ(std::filesystem::file_size(out() / "gross.img"), static_cast<std::uintmax_t>(kLength));
    std::ifstream restored(out() / "gross.img", std::ios::binary);
    for (const auto& [at, byte] : bytes) {
        EXPECT_EQ(restored.seekg(at).get(), byte) << "at " << at;
    }
    restored.close();
    std::filesystem::remove(out() / "gross.img"); // 4 GiB less for the tests after this one
}

TEST_F(QuilProgramTest, WithoutArgumentTheFileGoesToItsSourceFolderOrTheCurrentFolder) {
    const std::string data = testing_support::randomBytes(5000, 7);
    writeParts(set(), data, {5000});
    const std::string driveForm = quil_test::trailerFolder(out());

    makeReassembler(set(), trailer("5000", driveForm, "", "quelle.bin"));
    // The set names where it came from, but it comes from another machine: the user is asked.
    // No (or end of input) writes nothing; another folder typed is taken; yes goes there.
    auto result = run({}, {{"Dorthin wiederherstellen?", "n"}});
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_TRUE(entries(out()).empty());
    std::filesystem::create_directories(root_.path() / "anders");
    result = run({}, {{"Dorthin wiederherstellen?", "anders"}});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(readFile(root_.path() / "anders" / "quelle.bin") == data);
    result = run({}, {{"Dorthin wiederherstellen?", "j"}});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(readFile(out() / "quelle.bin") == data);

    // A source folder is asked about before it is looked up, so one that does not exist here
    // is found missing only after the yes; "." is the current folder (the test runs in root).
    makeReassembler(set(), trailer("5000", "Z:\\gibt\\es\\nicht\\", "", "quelle.bin"));
    result = run({}, {{"Dorthin wiederherstellen?", "j"}, {"gibt es nicht.", "."}});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(readFile(root_.path() / "quelle.bin") == data);

    // A relative argument is taken from the current folder, not from wherever the program went;
    // with an argument the set's folder is not even proposed.
    std::filesystem::create_directories(root_.path() / "rel");
    result = run({"rel"});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output.find("stammt aus"), std::string::npos) << result.output;
    EXPECT_TRUE(readFile(root_.path() / "rel" / "quelle.bin") == data);
    expectNoCopyLeft();
}

TEST_F(QuilProgramTest, ThreeDisksInFoldersWithTheAnswersTyped) {
    // disk 1: QUIL.EXE and QUILME01.sys; disk 2: QUILME02.sys and QUILME03.sys (a part size limit);
    // disk 3: QUILME04.sys.
    const std::string data = testing_support::randomBytes(70000, 3);
    std::size_t used = writeParts(set(), data, {30000});
    used = writeParts(root_.path() / "disk2", data, {10000, 10000}, 2, used);
    writeParts(root_.path() / "disk3", data, {20000}, 4, used);
    makeReassembler(set(), trailer("70000", "", "film.avi", "film.avi"));

    const auto result = run(
        {out().string()},
        {
            {"Diskette mit QUILME02.sys ein", ""}, // pressed Enter, no change
            {"Diskette mit QUILME02.sys ein", "/gibt/es/nicht"},
            {"Diskette mit QUILME02.sys ein", "disk2"}, // relative
            {"Diskette mit QUILME04.sys ein", std::string("'").append(utf8Text(root_.path() / "disk3")).append("'")},
        });
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.answered, 4u) << result.output;
    EXPECT_NE(result.output.find("Den Ordner „/gibt/es/nicht“ gibt es nicht."), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("QUILME02.sys fehlt in " + utf8Text(set()) +
                                 " (oder QUILME01.sys ist zu kurz); es fehlen noch 40000 von 70000 Bytes."),
              std::string::npos)
        << result.output;
    EXPECT_EQ(quil_test::occurrences(result.output, "Diskette mit QUILME03.sys"), 0u) << result.output;
    EXPECT_TRUE(readFile(out() / "film.avi") == data);
    EXPECT_EQ(entries(out()), std::vector<std::string>{"film.avi"});
    expectNoCopyLeft();
}

TEST_F(QuilProgramTest, TheHundredthPartIsNamedWithZeroAndTheNamesComeRound) {
    // A hundred parts of 2 bytes on the first disk (the 100th is QUILME00.sys); the 101st and the
    // 102nd on the second, named QUILME01.sys and QUILME02.sys again.
    const std::string data = testing_support::randomBytes(204, 5);
    const std::size_t used = writeParts(set(), data, std::vector<std::size_t>(100, 2));
    ASSERT_TRUE(std::filesystem::exists(set() / "QUILME00.sys"));
    writeParts(root_.path() / "disk2", data, {2, 2}, 101, used);
    makeReassembler(set(), trailer("204", "", "hundert.bin", "hundert.bin"));

    const auto result = run({out().string()}, {{"Diskette mit QUILME01.sys ein", "disk2"}});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("QUILME00.sys: 2 Bytes (200 von 204)"), std::string::npos) << result.output;
    EXPECT_TRUE(readFile(out() / "hundert.bin") == data);
}

TEST_F(QuilProgramTest, DamagedTrailersAreReportedAndNothingIsWritten) {
    struct Case {
        std::string trailerBytes;
        std::string problem;
    };
    // Each way the program meets a damaged trailer; every way of a trailer to be damaged is in
    // the trailer's own tests.
    const Case cases[] = {
        {"", "endet nicht mit den vier Angabezeilen"},
        {trailer("-300", "Z:\\", "name.bin", "name.bin"), "negative Länge"},
        {"300\r\nname.bin\r\nname.bin\r\n", "QUIL.EXE ist beschädigt"},
        {trailer("0", "Z:\\", "name.bin", "name.bin"), "Länge 0, aber neben QUIL.EXE liegt QUILME01.sys"},
        {std::string("12\0", 3) + trailer("0", "Z:\\", "name.bin", "name.bin"), "Länge 0"},
        {trailer("300", "Z:\\", "a/../..", "x"), "keinen brauchbaren Namen"},
    };
    writeParts(set(), std::string(300, 'x'), {300});
    for (const Case& c : cases) {
        makeReassembler(set(), c.trailerBytes);
        const auto result = run({out().string()});
        EXPECT_EQ(result.exitCode, 2) << c.trailerBytes << "\n" << result.output;
        EXPECT_NE(result.output.find(c.problem), std::string::npos) << c.trailerBytes << "\n" << result.output;
        EXPECT_TRUE(entries(out()).empty()) << c.trailerBytes;
        EXPECT_EQ(entries(root_.path()), (std::vector<std::string>{"out", "set", "tmp"})) << c.trailerBytes;
        expectNoCopyLeft();
    }
}

TEST_F(QuilProgramTest, ANameNeverLeadsOutOfTheOutputFolder) {
    const std::pair<std::string, std::string> cases[] = {
        {"..\\..\\ausbruch.txt", "ausbruch.txt"},
        {"../../ausbruch.txt", "ausbruch.txt"},
        {"/etc/ausbruch.txt", "ausbruch.txt"},
        {"C:\\DATEN\\Bericht.doc", "Bericht.doc"},
    };
    const std::filesystem::path deep = out() / "a" / "b";
    std::filesystem::create_directories(deep);
    writeParts(set(), "inhalt", {6});
    for (const auto& [longName, expected] : cases) {
        makeReassembler(set(), trailer("6", "Z:\\", longName, "KURZ.TXT"));
        const auto result = run({deep.string()});
        EXPECT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(entries(deep), std::vector<std::string>{expected}) << longName;
        EXPECT_EQ(entries(out() / "a"), std::vector<std::string>{"b"}) << longName;
        EXPECT_EQ(entries(out()), std::vector<std::string>{"a"}) << longName;
        EXPECT_EQ(readFile(deep / expected), "inhalt");
        std::filesystem::remove(deep / expected);
    }
}

TEST_F(QuilProgramTest, ANameThisHostCannotHoldIsAskedForBeforeAPartIsRead) {
    // Too long on every host; the question comes before the first part is read.
    const std::string tooLong = std::string(300, 'n') + ".bin";
    struct Case {
        std::vector<Answer> answers;
        int exitCode;
        std::vector<std::string> restored;
    };
    const Case cases[] = {
        {{{"Unter welchem Namen", "\"kurz.bin\""}}, 0, {"kurz.bin"}},
        {{{"Unter welchem Namen", "../weg.bin"}, {"Unter welchem Namen", "kurz.bin"}}, 0, {"kurz.bin"}},
        {{{"Unter welchem Namen", ""}}, 1, {}},
        {{}, 1, {}}, // no input at all
    };
    const std::string data = testing_support::randomBytes(2000, 19);
    writeParts(set(), data, {1000, 1000});
    makeReassembler(set(), trailer("2000", "", tooLong, "LANG.BIN"));
    for (const Case& c : cases) {
        const auto result = run({out().string()}, c.answers);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.output;
        EXPECT_EQ(result.answered, c.answers.size()) << result.output;
        EXPECT_LT(result.output.find("Unter welchem Namen"), result.output.find("QUILME01.sys:")) << result.output;
        EXPECT_EQ(entries(out()), c.restored) << result.output;
        std::filesystem::remove(out() / "kurz.bin");
    }
}

TEST_F(QuilProgramTest, AnExistingFileIsReplacedOnlyAfterAYes) {
    struct Case {
        std::vector<Answer> answers;
        int exitCode;
        bool replaced;
    };
    const Case cases[] = {
        {{{"existiert bereits. Überschreiben? (j/n)", "n"}}, 1, false},
        {{{"existiert bereits. Überschreiben? (j/n)", "j"}}, 0, true},
        {{}, 1, false}, // no input at all
    };
    const std::string data = testing_support::randomBytes(3000, 11);
    writeParts(set(), data, {1000, 2000});
    makeReassembler(set(), trailer("3000", "", "vorhanden.dat", "vorhanden.dat"));
    for (const Case& c : cases) {
        std::ofstream(out() / "vorhanden.dat") << "alter Inhalt";
        const auto result = run({out().string()}, c.answers);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.output;
        EXPECT_NE(result.output.find("Die Datei " + utf8Text(out() / "vorhanden.dat") +
                                     " existiert bereits. Überschreiben? (j/n)"),
                  std::string::npos)
            << result.output;
        EXPECT_EQ(readFile(out() / "vorhanden.dat") == data, c.replaced) << result.output;
        if (!c.replaced) {
            EXPECT_EQ(readFile(out() / "vorhanden.dat"), "alter Inhalt");
        }
        EXPECT_EQ(entries(out()), std::vector<std::string>{"vorhanden.dat"});
    }

    // A folder of that name is never replaced.
    std::filesystem::remove(out() / "vorhanden.dat");
    std::filesystem::create_directory(out() / "vorhanden.dat");
    const auto result = run({out().string()}, {{"Überschreiben", "j"}});
    EXPECT_NE(result.exitCode, 0) << result.output;
    EXPECT_TRUE(std::filesystem::is_directory(out() / "vorhanden.dat"));
    EXPECT_EQ(entries(out()), std::vector<std::string>{"vorhanden.dat"});
}

TEST_F(QuilProgramTest, AMissingPartWithoutAnswerLeavesNoFile) {
    const std::string data = testing_support::randomBytes(3000, 13);
    writeParts(set(), data, {1000, 1000, 1000});
    std::filesystem::remove(set() / "QUILME02.sys");
    makeReassembler(set(), trailer("3000", "", "luecke.bin", "luecke.bin"));

    for (const std::vector<Answer>& answers : {std::vector<Answer>{}, std::vector<Answer>{{"Diskette mit", "q"}}}) {
        const auto result = run({out().string()}, answers);
        EXPECT_EQ(result.exitCode, 1) << result.output;
        EXPECT_NE(result.output.find("QUILME02.sys fehlt in " + utf8Text(set()) +
                                     " (oder QUILME01.sys ist zu kurz); es fehlen noch 2000 von 3000 Bytes."),
                  std::string::npos)
            << result.output;
        EXPECT_NE(result.output.find("Abgebrochen"), std::string::npos) << result.output;
        EXPECT_TRUE(entries(out()).empty()) << "left: " << entries(out()).front();
        expectNoCopyLeft();
    }
}

TEST_F(QuilProgramTest, PartsLongerThanTheSourceAreDamage) {
    // On the first disk: found before anything is written.
    writeParts(set(), std::string(1200, 'x'), {600, 600});
    makeReassembler(set(), trailer("1000", "", "zu_lang.bin", "zu_lang.bin"));
    auto result = run({out().string()});
    EXPECT_EQ(result.exitCode, 2) << result.output;
    EXPECT_NE(result.output.find("länger als die Originaldatei: mit QUILME02.sys ergeben sie 1200 Bytes"),
              std::string::npos)
        << result.output;
    EXPECT_TRUE(entries(out()).empty());

    // On a later disk: found while joining; the half-written file goes.
    std::filesystem::remove(set() / "QUILME02.sys");
    writeParts(root_.path() / "disk2", std::string(700, 'y'), {700}, 2);
    result = run({out().string()}, {{"Diskette mit QUILME02.sys", "disk2"}});
    EXPECT_EQ(result.exitCode, 2) << result.output;
    EXPECT_NE(result.output.find("ergeben sie 1300 Bytes, die Originaldatei hatte 1000 Bytes"), std::string::npos)
        << result.output;
    EXPECT_TRUE(entries(out()).empty()) << "left: " << entries(out()).front();
    expectNoCopyLeft();
}

TEST_F(QuilProgramTest, MoreThanOneArgumentIsRefused) {
    writeParts(set(), "abc", {3});
    makeReassembler(set(), trailer("3", "", "a.txt", "a.txt"));
    const auto result = run({out().string(), "zweites"});
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find("Aufruf: QUIL.EXE [Zielordner]"), std::string::npos) << result.output;
    EXPECT_TRUE(entries(out()).empty());
}

TEST_F(QuilProgramTest, DisksChangedInOneFolderWhileTheQuestionWaits) {
    // The later disks go into one folder, the way a drive shows one disk after another: the
    // user names it once, and for the next disk only presses Enter.
    const std::string data = testing_support::randomBytes(9000, 19);
    const std::filesystem::path drive = root_.path() / "laufwerk";
    std::filesystem::create_directories(drive);
    std::size_t used = writeParts(set(), data, {4000});
    makeReassembler(set(), trailer("9000", "", "wechsel.bin", "wechsel.bin"));
    auto insert = [&](long part, std::size_t size) {
        return [&, part, size] {
            std::filesystem::remove_all(drive);
            std::filesystem::create_directories(drive);
            used = writeParts(drive, data, {size}, part, used);
            return true;
        };
    };

    const auto result = run({out().string()}, {{"Diskette mit QUILME02.sys ein", "laufwerk", insert(2, 3000)},
                                               {"Diskette mit QUILME03.sys ein", "", insert(3, 2000)}});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.answered, 2u) << result.output;
    EXPECT_NE(result.output.find("QUILME03.sys fehlt in " + utf8Text(drive)), std::string::npos) << result.output;
    EXPECT_TRUE(readFile(out() / "wechsel.bin") == data);
    EXPECT_EQ(entries(out()), std::vector<std::string>{"wechsel.bin"});
    expectNoCopyLeft();
}

TEST_F(QuilProgramTest, AReadOnlyProgramOnTheDiskLeavesNoCopyBehind) {
    writeParts(set(), "abc", {3});
    makeReassembler(set(), trailer("3", "", "a.txt", "a.txt"));
    std::filesystem::permissions(program(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const auto result = run({out().string()});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(readFile(out() / "a.txt"), "abc");
    expectNoCopyLeft();
}

TEST_F(QuilProgramTest, TheCopyOptionTypedByHandDeletesNothing) {
    const std::filesystem::path lookalike = tmp() / "splitwerk-quil-abc123"; // like the private copy's
    writeParts(set(), "abc", {3});
    writeParts(lookalike, "abc", {3});
    const auto program = makeReassembler(lookalike, trailer("3", "", "a.txt", "a.txt"));
    const auto result = runQuil(program, {"--quil-kopie-von", set().string(), out().string()}, root_.path(), tmp());
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(entries(lookalike), (std::vector<std::string>{"QUIL.EXE", "QUILME01.sys"}));
}

TEST(QuilBuildTest, TheBuiltReassemblerEndsWithALineFeed) {
    // The trailer's first line begins after that line feed; a program ending in a digit
    // would otherwise lengthen the length line.
    const std::string program = readFile(QUIL_PROGRAM);
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), '\n');
}

} // namespace
