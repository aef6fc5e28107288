// A set made "mit Ersatzdiskette" as QUIL.EXE will see it: the index of the recovery data names
// the parts as they lie on the media, and any one of them, taken away, is rebuilt from the others.
#include "CopyRunFixture.h"

#include "core/RecoveryData.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>

namespace copier_tests {
namespace {

namespace recovery = core::recovery;
using ::testing::ElementsAre;
using testing_support::readFile;

class RecoveryDataRun : public CopyRunFixture {
protected:
    RecoveryDataRun() { controls_.recoveryData = true; }

    // The parts in these folders in the order of their names, the pieces in that of their numbers;
    // tie: what the stream ties itself to, which the set's QUIL.EXE must carry.
    void expectEveryPartRebuilt(const std::vector<std::filesystem::path>& folders, const std::string& source,
                                std::string* tie = nullptr) {
        std::map<std::string, std::string> parts;
        std::map<int, std::string> pieces;
        for (const auto& folder : folders) {
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                const std::string name = entry.path().filename().string(), bytes = readFile(entry.path());
                if (const std::optional<int> piece = recovery::pieceNumber(name)) {
                    pieces[*piece] = bytes;
                } else if (name.starts_with("QUILME")) {
                    parts[name] = bytes;
                }
            }
        }
        std::string stream;
        std::for_each(pieces.begin(), pieces.end(), [&](const auto& piece) { stream += piece.second; });
        const recovery::ReadAt read = [&](int64_t offset, char* into, std::size_t size) {
            std::memcpy(into, stream.data() + offset, size);
        };
        const recovery::IndexReading reading = recovery::readIndex(read, static_cast<int64_t>(stream.size()));
        ASSERT_TRUE(reading.index) << reading.problem;
        EXPECT_TRUE(recovery::isTie(reading.index->tie)) << reading.index->tie;
        if (tie != nullptr) {
            *tie = reading.index->tie;
        }
        ASSERT_EQ(reading.index->parts.size(), parts.size());
        std::vector<std::string> bytes;
        std::vector<recovery::Digest> sums;
        for (const auto& [name, partBytes] : parts) {
            EXPECT_EQ(reading.index->parts[bytes.size()].name, name);
            bytes.push_back(partBytes);
            sums.push_back(recovery::md5Of(partBytes.data(), partBytes.size()));
        }
        EXPECT_EQ(std::accumulate(bytes.begin(), bytes.end(), std::string()), source);
        EXPECT_EQ(reading.index->wholeFile, recovery::wholeFileSum(sums));
        const auto other = [&](std::size_t part, int64_t offset, char* into, std::size_t size) {
            std::memcpy(into, bytes.at(part).data() + offset, size);
        };
        for (std::size_t lost = 0; lost < bytes.size(); ++lost) {
            std::string rebuilt;
            EXPECT_TRUE(recovery::rebuild(*reading.index, lost, read, other,
                                          [&](int64_t, const char* data, std::size_t n) { rebuilt.append(data, n); }));
            EXPECT_EQ(rebuilt, bytes[lost]) << "part " << lost + 1;
        }
    }
};

TEST_F(RecoveryDataRun, AFolderGetsOnePieceBesideThePartsWhateverTheirLimit) {
    const std::string bytes = makeSource(300000);
    temp_.write("c/Ziel/QUILME2.par2", "a piece of an older set");
    controls_.targetFolder("C:\\Ziel").limit("100", 0);
    runToCompletion();
    EXPECT_FALSE(std::filesystem::exists(cRoot_ / "Ziel" / "QUILME2.par2"));
    std::string tie;
    expectEveryPartRebuilt({cRoot_ / "Ziel"}, bytes, &tie);
    EXPECT_EQ(readFile(cRoot_ / "Ziel" / "QUIL.EXE"), expectedQuilExe(bytes, tie));
}

// Three diskettes of parts, then two Ersatzdisketten: the first with QUIL.EXE and as much of the
// stream as fits, the rest after the disk-full dialog. A piece is read back from its disk: one that
// reads back otherwise is written anew.
TEST_F(RecoveryDataRun, DiskettesGetItOnErsatzdiskettenTheFirstWithQuilExe) {
    const std::string bytes = makeSource(250000);
    drive_.setCapacity(100000);
    const auto blank = [&] { drive_.insertBlank(); };
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, blank);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, blank);
    boxes().expect("Alle Teile sind geschrieben; jetzt folgen die Wiederherstellungsdaten.\r"
                   "Bitte legen Sie die Ersatzdiskette 1 ein und klicken Sie auf OK.",
                   rt::kInfoOkCancel, rt::kResultOk, [&] {
                       blank();
                       drive_.damageNextReadBack("QUILME.par2");
                   });
    boxes().expect(text::kTargetError, rt::kCriticalOkCancel, rt::kResultOk);
    boxes().expect("Der Datenträger ist voll! Bitte die Ersatzdiskette 2\reinlegen und auf OK klicken.",
                   rt::kInfoOkCancel, rt::kResultOk, blank);
    runToCompletion();
    EXPECT_THAT(filesOn(3), ElementsAre("QUIL.EXE", "QUILME.par2"));
    EXPECT_THAT(filesOn(4), ElementsAre("QUILME2.par2"));
    std::string tie;
    expectEveryPartRebuilt({disk(0), disk(1), disk(2), disk(3), disk(4)}, bytes, &tie);
    EXPECT_EQ(onDisk(0, "QUIL.EXE"), expectedQuilExe(bytes, tie));
    EXPECT_EQ(onDisk(3, "QUIL.EXE"), expectedQuilExe(bytes, tie));
}

// A folder on a fixed drive made anew before its end flush gets the whole set again: each part
// is in the recovery data once, as it lies there now.
TEST_F(RecoveryDataRun, HoldsEveryPartWrittenAnewOnce) {
    const std::string bytes = makeSource(5000);
    controls_.limit("2", 0).targetFolder("F:\\");
    runtime().drives().removeDrive('A');
    runtime().drives().setFixedDrive('F', drive_.currentDisk().string());
    drive_.beforeNext(testing_support::SimulatedDrive::Op::Flush, [&] {
        std::filesystem::remove_all(drive_.currentDisk());
        std::filesystem::create_directories(drive_.currentDisk());
    });
    boxes().expect(text::kTargetError, rt::kCriticalOkCancel, rt::kResultOk);
    runToCompletion();
    expectEveryPartRebuilt({drive_.currentDisk()}, bytes);
}

} // namespace
} // namespace copier_tests
