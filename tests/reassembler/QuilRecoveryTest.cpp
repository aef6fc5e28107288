// The real QUIL.EXE on folder sets made with recovery data: one lost, unreadable, changed or
// shortened part is rebuilt and the file restored byte for byte; two bad parts never give a file
// under its name. A set without recovery data still joins a changed byte unseen, as it always did.
#include "QuilProcess.h"
#include "QuilRun.h"

#include "core/DiskSet.h"
#include "core/RecoveryData.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using quil_test::Answer;
using quil_test::entries;
using testing_support::readFile;

enum class Damage { None, Missing, Unreadable, Flipped, Shortened, TwoFlipped };

// The last part is the shortest: its slice is padded in the parity.
const std::vector<std::size_t> kSizes = {40000, 40000, 40000, 12345};
constexpr std::size_t kLength = 132345;

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
    };
    const Case cases[] = {
        {Damage::None, {"Alle Teile und die ganze Datei stimmen"}},
        {Damage::Missing, {") fehlt.", "wurde aus der Ersatzdiskette wiederhergestellt"}},
        {Damage::Unreadable, {") ist nicht lesbar (", "wurde aus der Ersatzdiskette wiederhergestellt"}},
        {Damage::Flipped, {"hat veränderte Bytes", "wurde aus der Ersatzdiskette wiederhergestellt"}},
        {Damage::Shortened, {"Bytes lang", "wurde aus der Ersatzdiskette wiederhergestellt"}},
        {Damage::TwoFlipped, {"2 Teile sind beschädigt", "Was sich zusammensetzen ließ, liegt unter"}},
    };
    for (const Case& c : cases) {
        for (const std::size_t at : {std::size_t{0}, std::size_t{1}, kSizes.size() - 1}) {
            const std::string trace =
                "damage " + std::to_string(static_cast<int>(c.damage)) + " at part " + std::to_string(at + 1);
            fs::remove_all(set());
            for (const fs::path& left : {out(), tmp()}) {
                fs::remove_all(left);
                fs::create_directories(left);
            }
            const std::string data = testing_support::randomBytes(kLength, static_cast<unsigned>(at) + 7);
            quil_test::writeRecoverySet(set(), data, kSizes, "a.bin");
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
            case Damage::Flipped:
                flipByte(part(at));
                break;
            case Damage::Shortened:
                fs::resize_file(part(at), kSizes[at] - 100);
                break;
            case Damage::TwoFlipped:
                flipByte(part(at));
                flipByte(part((at + 1) % kSizes.size()));
                break;
            }

            const quil_test::RunResult result = run({out().string()}, answers);
            for (const char* words : c.said) {
                EXPECT_NE(result.output.find(words), std::string::npos) << trace << ": " << result.output;
            }
            if (c.damage == Damage::TwoFlipped) {
                EXPECT_EQ(result.exitCode, 2) << trace;
                EXPECT_EQ(entries(out()), std::vector<std::string>{"a (beschädigt).bin"}) << trace;
                for (std::size_t bad : {at, (at + 1) % kSizes.size()}) {
                    EXPECT_NE(result.output.find("Teil " + std::to_string(bad + 1) + " ("), std::string::npos)
                        << trace << ": " << result.output;
                }
            } else {
                EXPECT_EQ(result.exitCode, 0) << trace << ": " << result.output;
                EXPECT_EQ(entries(out()), std::vector<std::string>{"a.bin"}) << trace;
                EXPECT_TRUE(readFile(out() / "a.bin") == data) << trace << ": content differs";
            }
            expectNoCopyLeft();
        }
    }
}

// A set on disks: a part on each, the recovery data in two pieces on two Ersatzdisketten, the first
// of which also carries QUIL.EXE. The pieces are asked for by number and copied off; nothing of
// them is left in the output folder.
TEST_F(QuilRecoveryTest, TheErsatzdiskettenAreAskedForWhenNeeded) {
    struct Case {
        bool firstDiskLost;  // started from Ersatzdiskette 1 instead
        std::size_t flipped; // a part with a changed byte, or none
    };
    for (const Case c : {Case{false, 1}, Case{true, 9}}) {
        fs::remove_all(root_.path() / "disks");
        fs::remove_all(out());
        fs::create_directories(out());
        const fs::path disks = root_.path() / "disks";
        const std::string data = testing_support::randomBytes(kLength, 11);
        const std::string stream = quil_test::writeRecoverySet(disks / "disk1", data, kSizes, "a.bin", true);
        for (std::size_t k = 1; k < kSizes.size(); ++k) {
            const std::string name = core::diskset::partName(static_cast<long>(k) + 1);
            fs::create_directories(disks / ("disk" + std::to_string(k + 1)));
            fs::rename(disks / "disk1" / name, disks / ("disk" + std::to_string(k + 1)) / name);
        }
        const std::size_t half = stream.size() / 2;
        quil_test::makeReassembler(disks / "ersatz1",
                                   std::string(core::recovery::kMarkerLine) +
                                       quil_test::trailer(std::to_string(kLength), "", "a.bin", "a.bin"));
        std::ofstream(disks / "ersatz1" / "QUILME.par2", std::ios::binary) << stream.substr(0, half);
        fs::create_directories(disks / "ersatz2");
        std::ofstream(disks / "ersatz2" / "QUILME2.par2", std::ios::binary) << stream.substr(half);
        if (c.flipped < kSizes.size()) {
            flipByte(disks / ("disk" + std::to_string(c.flipped + 1)) /
                     core::diskset::partName(static_cast<long>(c.flipped) + 1));
        }
        std::vector<Answer> answers;
        if (c.firstDiskLost) {
            answers.push_back({"Diskette mit QUILME01.sys", "v"});
            answers.push_back({"Ersatzdiskette 2", (disks / "ersatz2").string()});
        }
        for (std::size_t k = 1; k < kSizes.size(); ++k) {
            answers.push_back({"Diskette mit " + core::diskset::partName(static_cast<long>(k) + 1),
                               (disks / ("disk" + std::to_string(k + 1))).string()});
        }
        if (!c.firstDiskLost) {
            answers.push_back({"Ersatzdiskette 1", (disks / "ersatz1").string()});
            answers.push_back({"Ersatzdiskette 2", (disks / "ersatz2").string()});
        }
        const fs::path start = disks / (c.firstDiskLost ? "ersatz1" : "disk1") / "QUIL.EXE";
        const quil_test::RunResult result = quil_test::runQuil(start, {out().string()}, root_.path(), tmp(), answers);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(result.answered, answers.size()) << result.output;
        EXPECT_NE(result.output.find("wurde aus der Ersatzdiskette wiederhergestellt"), std::string::npos)
            << result.output;
        EXPECT_EQ(entries(out()), std::vector<std::string>{"a.bin"});
        EXPECT_TRUE(readFile(out() / "a.bin") == data);
    }
}

TEST_F(QuilRecoveryTest, ASetWithoutRecoveryDataJoinsAChangedByteAsBefore) {
    const std::string data = testing_support::randomBytes(kLength, 3);
    quil_test::writeParts(set(), data, kSizes);
    quil_test::makeReassembler(set(), quil_test::trailer(std::to_string(data.size()), "", "a.bin", "a.bin"));
    flipByte(part(1));
    std::string changed = data;
    changed[kSizes[0] + kSizes[1] / 2] = static_cast<char>(changed[kSizes[0] + kSizes[1] / 2] ^ 0x5A);

    const quil_test::RunResult result = run({out().string()});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(readFile(out() / "a.bin") == changed);
    EXPECT_EQ(result.output.find("Ersatz"), std::string::npos) << result.output;
}

} // namespace
