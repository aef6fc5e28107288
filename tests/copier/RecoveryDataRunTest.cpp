// A set made "mit Ersatzdiskette": after the last part the run writes the recovery data, and
// QUIL.EXE's view of it holds: the index names the parts as they lie on the media, and any one of
// them, taken away, is rebuilt from the stream and the others.
#include "CopyRunFixture.h"

#include "core/RecoveryData.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>

namespace copier_tests {
namespace {

namespace fs = std::filesystem;
namespace recovery = core::recovery;
using ::testing::ElementsAre;

std::string insertSpareDisk(int number) {
    return "Alle Teile sind geschrieben; jetzt folgen die Wiederherstellungsdaten.\rBitte legen Sie die "
           "Ersatzdiskette " +
           std::to_string(number) + " ein und klicken Sie auf OK.";
}

class RecoveryDataRun : public CopyRunFixture {
protected:
    RecoveryDataRun() : CopyRunFixture() { controls_.recoveryData = true; }

    // Files named as parts (in the order of the folders) and as pieces (by their numbers).
    void collect(const fs::path& folder) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (const std::optional<int> piece = recovery::pieceNumber(name)) {
                pieces_[*piece] = testing_support::readFile(entry.path());
            } else if (name.rfind("QUILME", 0) == 0) {
                parts_.emplace_back(name, testing_support::readFile(entry.path()));
            }
        }
    }

    void expectEveryPartRebuilt(const std::string& source) {
        std::sort(parts_.begin(), parts_.end());
        std::string stream;
        int next = 1;
        for (const auto& [number, bytes] : pieces_) {
            EXPECT_EQ(number, next++);
            stream += bytes;
        }
        const recovery::ReadAt readStream = [&](int64_t offset, char* into, std::size_t size) {
            ASSERT_LE(offset + static_cast<int64_t>(size), static_cast<int64_t>(stream.size()));
            std::memcpy(into, stream.data() + offset, size);
        };
        const recovery::IndexReading reading = recovery::readIndex(readStream, static_cast<int64_t>(stream.size()));
        ASSERT_TRUE(reading.index) << reading.problem;
        const recovery::Index& index = *reading.index;
        recovery::Md5 wholeFile;
        wholeFile.update(source.data(), source.size());
        EXPECT_EQ(index.wholeFile, wholeFile.finish());
        EXPECT_EQ(index.fileLength, static_cast<int64_t>(source.size()));
        ASSERT_EQ(index.parts.size(), parts_.size());
        for (std::size_t lost = 0; lost < parts_.size(); ++lost) {
            EXPECT_EQ(index.parts[lost].name, parts_[lost].first);
            std::string rebuilt;
            EXPECT_TRUE(recovery::rebuild(
                index, lost, readStream,
                [&](std::size_t part, int64_t offset, char* into, std::size_t size) {
                    std::memcpy(into, parts_.at(part).second.data() + offset, size);
                },
                [&](int64_t, const char* data, std::size_t size) { rebuilt.append(data, size); }));
            EXPECT_EQ(rebuilt, parts_[lost].second) << parts_[lost].first;
        }
    }

    std::vector<std::pair<std::string, std::string>> parts_;
    std::map<int, std::string> pieces_;
};

TEST_F(RecoveryDataRun, AFolderGetsItBesideTheParts) {
    const std::string bytes = makeSource(300000);
    fs::create_directories(cRoot_ / "Ziel");
    controls_.targetFolder("C:\\Ziel").limit("100", 0);
    runToCompletion();
    collect(cRoot_ / "Ziel");
    EXPECT_EQ(testing_support::readFile(cRoot_ / "Ziel" / "QUIL.EXE"), expectedQuilExe(bytes));
    EXPECT_EQ(pieces_.size(), 1U);
    expectEveryPartRebuilt(bytes);
}

// Three diskettes of parts, then two Ersatzdisketten: the first with QUIL.EXE and as much of the
// stream as fits, the rest after the disk-full dialog. Each piece is read back from its disk.
TEST_F(RecoveryDataRun, DiskettesGetItOnErsatzdiskettenTheFirstWithQuilExe) {
    const std::string bytes = makeSource(45000);
    drive_.setCapacity(20000);
    const auto blank = [&] { drive_.insertBlank(); };
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, blank);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, blank);
    boxes().expect(insertSpareDisk(1), rt::kInfoOkCancel, rt::kResultOk, [&] {
        blank();
        drive_.damageNextReadBack("QUILME.par2");
    });
    boxes().expect(text::kTargetError, rt::kCriticalOkCancel, rt::kResultOk);
    boxes().expect("Der Datenträger ist voll! Bitte die Ersatzdiskette 2\reinlegen und auf OK klicken.",
                   rt::kInfoOkCancel, rt::kResultOk, blank);
    runToCompletion();
    ASSERT_EQ(drive_.disks().size(), 5U);
    for (std::size_t disk = 0; disk < 5; ++disk) {
        collect(this->disk(disk));
    }
    EXPECT_THAT(filesOn(3), ElementsAre("QUIL.EXE", "QUILME.par2"));
    EXPECT_THAT(filesOn(4), ElementsAre("QUILME2.par2"));
    EXPECT_EQ(onDisk(0, "QUIL.EXE"), expectedQuilExe(bytes));
    EXPECT_EQ(onDisk(3, "QUIL.EXE"), expectedQuilExe(bytes));
    EXPECT_EQ(std::count(drive_.readBacks().begin(), drive_.readBacks().end(), "QUILME2.par2"), 1);
    expectEveryPartRebuilt(bytes);
}

} // namespace
} // namespace copier_tests
