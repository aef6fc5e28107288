// The real QUIL.EXE on sets made with recovery data: one lost, unreadable, changed or shortened part
// is rebuilt, two bad parts give no file under its name. Without it a changed byte passes, as ever.
#include "QuilProcess.h"
#include "QuilRun.h"

#include "core/DiskSet.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using quil_test::Answer;
using quil_test::entries;
using testing_support::readFile;

enum class Damage { None, Missing, Unreadable, Flipped, Shortened, TwoFlipped, LostAndFlipped };

// The last part is the shortest: its slice is padded in the parity.
const std::vector<std::size_t> kSizes = {40000, 40000, 40000, 12345};
constexpr std::size_t kLength = 132345;
// The list of damaged parts ends the line with "fehlt"; the Windows console ends it with CR LF.
#ifdef _WIN32
constexpr const char* kLostInTheList = ") fehlt\r\n";
#else
constexpr const char* kLostInTheList = ") fehlt\n";
#endif

void flipByte(const fs::path& part) {
    std::string bytes = readFile(part);
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x5A);
    std::ofstream(part, std::ios::binary | std::ios::trunc) << bytes;
}

class QuilRecoveryTest : public quil_test::QuilSetFixture {
protected:
    fs::path part(std::size_t index) const { return set() / core::diskset::partName(static_cast<long>(index) + 1); }
};

TEST_F(QuilRecoveryTest, OneBadPartIsRebuiltTwoAreKeptAside) {
    struct Case {
        Damage damage;
        std::vector<const char*> said;
        bool olderSet = false; // its whole file's checksum of the bytes, not of the parts
    };
    const Case cases[] = {
        {Damage::None, {"Alle Teile und die ganze Datei stimmen"}},
        {Damage::Missing, {") fehlt.", "wurde aus der Ersatzdiskette wiederhergestellt"}},
        {Damage::Unreadable, {") ist nicht lesbar (", "wurde aus der Ersatzdiskette wiederhergestellt"}},
        {Damage::Flipped, {"hat veränderte Bytes", "wurde aus der Ersatzdiskette wiederhergestellt"}},
        {Damage::Shortened, {"Bytes lang", "wurde aus der Ersatzdiskette wiederhergestellt"}},
        {Damage::TwoFlipped, {"2 Teile sind beschädigt", "Was sich zusammensetzen ließ, liegt unter"}},
        {Damage::LostAndFlipped, {"2 Teile sind beschädigt", kLostInTheList, ") hat veränderte Bytes"}},
        {Damage::None, {"Alle Teile und die ganze Datei stimmen"}, true},
        {Damage::Flipped, {"hat veränderte Bytes", "wurde aus der Ersatzdiskette wiederhergestellt"}, true},
    };
    for (const Case& c : cases) {
        for (const std::size_t at : {std::size_t{0}, std::size_t{1}, kSizes.size() - 1}) {
            const std::string trace = c.said.front() + (" at " + std::to_string(at));
            fs::remove_all(set());
            fs::remove_all(out());
            fs::create_directories(out());
            const std::string data = testing_support::randomBytes(kLength, static_cast<unsigned>(at) + 7);
            quil_test::writeRecoverySet(set(), data, kSizes, "a.bin", false, "0123456789abcdef", c.olderSet);
            std::vector<Answer> answers;
            std::shared_ptr<void> held;
            switch (c.damage) {
            case Damage::None:
                break;
            case Damage::Missing:
                fs::remove(part(at));
                answers.push_back({"Diskette mit " + core::diskset::partName(static_cast<long>(at) + 1), "v"});
                break;
            case Damage::Unreadable:
                held = quil_test::makeUnreadable(part(at));
                break;
            case Damage::Shortened:
                fs::resize_file(part(at), kSizes[at] - 100);
                break;
            case Damage::LostAndFlipped:
                fs::remove(part(at));
                answers.push_back({"Diskette mit " + core::diskset::partName(static_cast<long>(at) + 1), "v"});
                flipByte(part((at + 1) % kSizes.size()));
                break;
            case Damage::TwoFlipped:
                flipByte(part((at + 1) % kSizes.size()));
                [[fallthrough]];
            case Damage::Flipped:
                flipByte(part(at));
                break;
            }

            const quil_test::RunResult result = run({out().string()}, answers);
            for (const char* words : c.said) {
                EXPECT_NE(result.output.find(words), std::string::npos) << trace << ": " << result.output;
            }
            if (c.damage == Damage::TwoFlipped || c.damage == Damage::LostAndFlipped) {
                EXPECT_EQ(result.exitCode, 2) << trace;
                EXPECT_EQ(entries(out()), std::vector<std::string>{"a (beschädigt).bin"}) << trace;
                EXPECT_EQ(quil_test::occurrences(result.output, " hat veränderte Bytes"),
                          c.damage == Damage::TwoFlipped ? 2u : 1u)
                    << result.output;
            } else {
                EXPECT_EQ(result.exitCode, 0) << trace << ": " << result.output;
                EXPECT_EQ(entries(out()), std::vector<std::string>{"a.bin"}) << trace;
                EXPECT_TRUE(readFile(out() / "a.bin") == data) << trace << ": content differs";
            }
            expectNoCopyLeft();
        }
    }
}

// A part on each disk, the recovery data in two pieces on two Ersatzdisketten (the first with
// QUIL.EXE): the pieces are asked for by number and copied off, and nothing of them is left.
TEST_F(QuilRecoveryTest, TheErsatzdiskettenAreAskedForWhenNeeded) {
    // Started from Ersatzdiskette 1 for a lost disk 1; or from disk 1 with the second part cut
    // short (the later parts shift, and QUIL asks for a fifth disk, given as lost), or grown (the
    // last part overruns the file: the Ersatzdisketten put every part in its place, and the last
    // part is joined again where it belongs), or grown by just the last part's length (the join
    // reaches the file's length without it: the Ersatzdisketten count it, and its disk is asked for).
    enum class Start { FirstDiskLost, PartShortened, PartGrown, PartGrownByTheLast };
    for (const Start how : {Start::FirstDiskLost, Start::PartShortened, Start::PartGrown, Start::PartGrownByTheLast}) {
        const fs::path disks = root_.path() / ("disks" + std::to_string(static_cast<int>(how)));
        auto disk = [&](std::size_t k) { return disks / ("disk" + std::to_string(k + 1)); };
        const std::string data = testing_support::randomBytes(kLength, 11);
        const std::string stream = quil_test::writeRecoverySet(disk(0), data, kSizes, "a.bin", true);
        std::vector<fs::path> laterDisks;
        for (std::size_t k = 1; k < kSizes.size(); ++k) {
            laterDisks.push_back(disk(k));
            fs::create_directories(disk(k));
            fs::rename(disk(0) / core::diskset::partName(static_cast<long>(k) + 1),
                       disk(k) / core::diskset::partName(static_cast<long>(k) + 1));
        }
        fs::create_directories(disks / "ersatz1");
        fs::copy_file(disk(0) / "QUIL.EXE", disks / "ersatz1" / "QUIL.EXE");
        std::ofstream(disks / "ersatz1" / "QUILME.par2", std::ios::binary) << stream.substr(0, stream.size() / 2);
        fs::create_directories(disks / "ersatz2");
        std::ofstream(disks / "ersatz2" / "QUILME2.par2", std::ios::binary) << stream.substr(stream.size() / 2);
        std::vector<Answer> answers = quil_test::answersForDisks(laterDisks);
        const std::vector<Answer> ersatz = {{"Ersatzdiskette 1", (disks / "ersatz1").string()},
                                            {"Ersatzdiskette 2", (disks / "ersatz2").string()}};
        const fs::path part2 = disk(1) / "QUILME02.sys";
        switch (how) {
        case Start::FirstDiskLost:
            answers.insert(answers.begin(), {{"Diskette mit QUILME01.sys", "v"}, ersatz[1]});
            break;
        case Start::PartShortened:
            fs::resize_file(part2, kSizes[1] - 100);
            answers.insert(answers.end(), {{"Diskette mit QUILME05.sys", "v"}, ersatz[0], ersatz[1]});
            break;
        case Start::PartGrown:
            std::ofstream(part2, std::ios::binary | std::ios::app) << std::string(100, 'x');
            answers.insert(answers.end(), {ersatz[0], ersatz[1]});
            break;
        case Start::PartGrownByTheLast:
            std::ofstream(part2, std::ios::binary | std::ios::app) << std::string(kSizes.back(), 'x');
            answers.insert(answers.end() - 1, {ersatz[0], ersatz[1]});
            break;
        }
        const fs::path start = (how == Start::FirstDiskLost ? disks / "ersatz1" : disk(0)) / "QUIL.EXE";
        const fs::path target = disks / "out";
        fs::create_directories(target);
        const quil_test::RunResult result = quil_test::runQuil(start, {target.string()}, root_.path(), tmp(), answers);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(result.answered, answers.size()) << result.output;
        EXPECT_EQ(quil_test::occurrences(result.output, "Bitte legen Sie"), answers.size()) << result.output;
        const char* rebuilt = how == Start::FirstDiskLost ? "(QUILME01.sys) wurde aus der Ersatzdiskette"
                                                          : "(QUILME02.sys) wurde aus der Ersatzdiskette";
        EXPECT_NE(result.output.find(rebuilt), std::string::npos) << result.output;
        EXPECT_EQ(entries(target), std::vector<std::string>{"a.bin"}); // the copied pieces are gone
        EXPECT_TRUE(readFile(target / "a.bin") == data);
    }
}

// When the recovery data itself fails: what can be mended by another copy is asked for again, what
// cannot ends the restore at once, and a file nothing was checked against is never named.
TEST_F(QuilRecoveryTest, ErsatzdatenThatFailAreNamedAndAskedForAgain) {
    enum class Fault { Unreadable, OfAnotherFile, OfAnotherRun, IndexDamaged, OfAnotherUntiedSet };
    struct Case {
        Fault fault;
        const char* said;
        bool restored;
    };
    const Case cases[] = {
        {Fault::Unreadable, "QUILME.par2 ist nicht lesbar (", true},
        {Fault::OfAnotherFile, "Die Ersatzdaten gehören nicht zu diesem Satz", true},
        {Fault::OfAnotherRun, "Die Ersatzdaten gehören zu einer anderen Sicherung", true},
        {Fault::IndexDamaged, "Das Verzeichnis der Ersatzdaten ist beschädigt.", false},
        {Fault::OfAnotherUntiedSet, "sie gehören wohl zu einem anderen Satz", false},
    };
    for (const Case& c : cases) {
        fs::remove_all(root_.path() / "ersatz");
        fs::remove_all(set());
        fs::remove_all(out());
        fs::create_directories(out());
        const std::string data = testing_support::randomBytes(kLength, 5);
        // Sets written before the tie have none: there, recovery data of another run can only be
        // told by its checksums.
        const std::string tie = c.fault == Fault::OfAnotherUntiedSet ? "" : "0123456789abcdef";
        const std::string stream = quil_test::writeRecoverySet(set(), data, kSizes, "a.bin", true, tie);
        const fs::path good = root_.path() / "ersatz" / "good";
        const fs::path bad = root_.path() / "ersatz" / "bad";
        fs::create_directories(good);
        fs::create_directories(bad);
        std::ofstream(good / "QUILME.par2", std::ios::binary) << stream;
        std::string wrong = stream;
        std::vector<Answer> answers = {{"Ersatzdiskette 1", bad.string()}};
        switch (c.fault) {
        case Fault::Unreadable:
            break;
        case Fault::OfAnotherFile:
            wrong =
                quil_test::writeRecoverySet(bad / "other", data.substr(1), {40000, 40000, 40000, 12344}, "a.bin", true);
            break;
        case Fault::OfAnotherRun: {
            // Another version of the file, of the same length: only the lost part differs, so
            // every part on the disks matches, and its rebuild would give that version.
            std::string version = data;
            version[kSizes[0] + kSizes[1] + 5] = static_cast<char>(version[kSizes[0] + kSizes[1] + 5] ^ 1);
            wrong = quil_test::writeRecoverySet(bad / "other", version, kSizes, "a.bin", true, "fedcba9876543210");
            break;
        }
        case Fault::IndexDamaged:
            wrong[wrong.size() - 200] = static_cast<char>(wrong[wrong.size() - 200] ^ 1);
            break;
        case Fault::OfAnotherUntiedSet:
            wrong = quil_test::writeRecoverySet(bad / "other", testing_support::randomBytes(kLength, 6), kSizes,
                                                "a.bin", true, "");
            break;
        }
        std::ofstream(bad / "QUILME.par2", std::ios::binary) << wrong;
        // Held for the whole run: on Windows it is unreadable only while the handle is open.
        std::shared_ptr<void> held;
        if (c.fault == Fault::Unreadable) {
            held = quil_test::makeUnreadable(bad / "QUILME.par2");
        }
        // A lost part needs the recovery data during the join; with every part there, the check
        // at the end asks for it.
        if (c.restored) {
            fs::remove(part(2));
            answers.insert(answers.begin(), {"Diskette mit QUILME03.sys", "v"});
            answers.push_back({"Ersatzdiskette 1", good.string()});
        }
        const quil_test::RunResult result = run({out().string()}, answers);
        EXPECT_NE(result.output.find(c.said), std::string::npos) << result.output;
        EXPECT_EQ(quil_test::occurrences(result.output, "Bitte legen Sie"), answers.size()) << result.output;
        if (c.restored) {
            EXPECT_EQ(result.exitCode, 0) << result.output;
            EXPECT_TRUE(readFile(out() / "a.bin") == data) << result.output;
        } else {
            EXPECT_EQ(result.exitCode, 2) << result.output;
            EXPECT_EQ(entries(out()), std::vector<std::string>{"a (ungeprüft).bin"}) << result.output;
        }
        expectNoCopyLeft();
    }
}

// QUIL.EXE of one run started over the disks of another run of the same file: the QUIL.EXE on their
// first disk carries another tie, and nothing is joined, as their parts would be "rebuilt" into
// this run's version.
TEST_F(QuilRecoveryTest, TheDisksOfAnotherRunAreRefused) {
    const std::string data = testing_support::randomBytes(kLength, 9);
    quil_test::writeRecoverySet(set(), data, kSizes, "a.bin", false, "0123456789abcdef");
    const fs::path other = root_.path() / "other";
    quil_test::writeRecoverySet(other, data, kSizes, "a.bin", false, "fedcba9876543210");
    for (std::size_t k = 0; k < kSizes.size(); ++k) {
        fs::remove(other / core::diskset::partName(static_cast<long>(k) + 1));
    }
    const quil_test::RunResult result = quil_test::runQuil(other / "QUIL.EXE", {out().string()}, root_.path(), tmp(),
                                                           {{"Diskette mit QUILME01.sys", set().string()}});
    EXPECT_EQ(result.exitCode, 2) << result.output;
    EXPECT_NE(result.output.find("gehört zu einer anderen Sicherung als dieses QUIL.EXE"), std::string::npos)
        << result.output;
    EXPECT_TRUE(entries(out()).empty());
}

TEST_F(QuilRecoveryTest, ASetWithoutRecoveryDataJoinsAChangedByteAsBefore) {
    const std::string data = testing_support::randomBytes(kLength, 3);
    quil_test::writeParts(set(), data, kSizes);
    quil_test::makeReassembler(set(), quil_test::trailer(std::to_string(data.size()), "", "a.bin", "a.bin"));
    flipByte(part(1));
    const std::string changed = readFile(part(0)) + readFile(part(1)) + readFile(part(2)) + readFile(part(3));
    const quil_test::RunResult result = run({out().string()});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(readFile(out() / "a.bin") == changed);
    EXPECT_EQ(result.output.find("Ersatz"), std::string::npos) << result.output;
}

} // namespace
