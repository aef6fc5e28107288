// The copy run on a writable target: what lands where, in which order, and what the window
// is shown.
#include "CopyRunFixture.h"

#include <filesystem>

namespace copier_tests {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

using CopyRun = CopyRunFixture;

TEST_F(CopyRun, EmptySourceWritesNothingAndReportsCompletion) {
    makeSource(0);
    temp_.write("drive/disk1/alt.txt", "bleibt");
    controls_.wipe().autorun();
    runToCompletion();
    EXPECT_THAT(filesOn(0), ElementsAre("alt.txt"));
    EXPECT_THAT(controls_.progress(), ElementsAre(0.0F));
}

TEST_F(CopyRun, SourceOf131072BytesIsOneChunkInOnePart) {
    const std::string bytes = makeSource(131072);
    runToCompletion();
    EXPECT_THAT(filesOn(0), ElementsAre("QUIL.EXE", "QUILME01.sys"));
    EXPECT_EQ(onDisk(0, "QUILME01.sys"), bytes);
    EXPECT_EQ(onDisk(0, "QUIL.EXE"), expectedQuilExe(bytes));
    EXPECT_THAT(drive_.writeSizes(), ::testing::Contains(131072U));
    EXPECT_THAT(controls_.progress(), ElementsAre(0.0F, 0.0F));
}

TEST_F(CopyRun, APartReachingTheLimitExactlyIsFollowedOnTheSameDiskWithoutADialog) {
    const std::string bytes = makeSource(3000);
    controls_.limit("1", 0).autorun().wipe();
    runToCompletion();
    EXPECT_THAT(filesOn(0), ElementsAre("QUIL.EXE", "QUILME01.sys", "QUILME02.sys", "QUILME03.sys", "autorun.inf"));
    EXPECT_EQ(onDisk(0, "QUILME01.sys"), bytes.substr(0, 1024));
    EXPECT_EQ(onDisk(0, "QUILME02.sys"), bytes.substr(1024, 1024));
    EXPECT_EQ(onDisk(0, "QUILME03.sys"), bytes.substr(2048));
    // Once per chunk, the share before the chunk; 0 at the end.
    EXPECT_THAT(controls_.progress(), ElementsAre(0.0F, static_cast<float>(1024.0 / 3000 * 100),
                                                  static_cast<float>(2048.0 / 3000 * 100), 0.0F));
    EXPECT_EQ(drive_.disks().size(), 1U);
}

TEST_F(CopyRun, FolderTargetGetsTheWholeSetInTheChosenFolder) {
    const std::string bytes = makeSource(300000);
    fs::create_directories(cRoot_ / "Ziel");
    controls_.targetFolder("C:\\Ziel").limit("100", 0).autorun();
    runToCompletion();
    std::string joined;
    for (int part = 1; part <= 3; ++part) {
        const std::string piece = testing_support::readFile(cRoot_ / "Ziel" / partName(part));
        EXPECT_EQ(piece.size(), part < 3 ? 102400U : 300000U - 2 * 102400U);
        joined += piece;
    }
    EXPECT_EQ(joined, bytes);
    EXPECT_TRUE(fs::exists(cRoot_ / "Ziel" / "autorun.inf"));
    EXPECT_EQ(testing_support::readFile(cRoot_ / "Ziel" / "QUIL.EXE"), expectedQuilExe(bytes));
    EXPECT_TRUE(filesOn(0).empty());
}

// room: on each disk beyond the first disk's files; 0: only the limit of one file.
class MediumWithAFileSizeLimit : public CopyRunFixture, public ::testing::WithParamInterface<int64_t> {};

TEST_P(MediumWithAFileSizeLimit, EndsEachPartAtTheLimitAndGoesOnBesideItUntilTheDiskIsFull) {
    const std::string bytes = makeSource(400000);
    constexpr int64_t kLimit = 150000;
    drive_.setFileSizeLimit(kLimit);
    if (GetParam() != 0) {
        drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + GetParam());
        boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, swapToBlankDisk());
    }
    runToCompletion();
    EXPECT_EQ(drive_.disks().size(), GetParam() != 0 ? 2U : 1U);
    EXPECT_EQ(joinedParts(), bytes);
    // All but less than two smallest chunks: the last size halved to 512 bytes or more may not fit.
    const auto first = static_cast<int64_t>(onDisk(0, "QUILME01.sys").size());
    EXPECT_TRUE(first <= kLimit && first > kLimit - 1024) << first;
}

INSTANTIATE_TEST_SUITE_P(Table, MediumWithAFileSizeLimit, ::testing::Values(0, 200000));

struct FirstDiskCase {
    const char* label;
    bool autorun;
    int64_t capacityAfterFirstFiles; // room left on each disk once QUIL.EXE (and autorun.inf) are on it
};

class FirstDiskFiles : public CopyRunFixture, public ::testing::WithParamInterface<FirstDiskCase> {};

TEST_P(FirstDiskFiles, AreWrittenOnceAndOnlyOnTheFirstDisk) {
    const FirstDiskCase& c = GetParam();
    const std::string bytes = makeSource(5000);
    const int64_t firstFiles = static_cast<int64_t>(expectedQuilExe(bytes).size()) + (c.autorun ? 108 : 0);
    drive_.setCapacity(firstFiles + c.capacityAfterFirstFiles);
    controls_.autorun(c.autorun);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, swapToBlankDisk());
    runToCompletion();
    std::vector<std::string> first = {"QUIL.EXE"};
    if (c.autorun) {
        first.push_back("autorun.inf");
    }
    if (c.capacityAfterFirstFiles >= 512) {
        first.insert(first.begin() + 1, "QUILME01.sys");
    }
    EXPECT_THAT(filesOn(0), ElementsAreArray(first)) << c.label;
    // A disk that took nothing of the part passes its number on.
    EXPECT_THAT(filesOn(1), ElementsAre(c.capacityAfterFirstFiles < 512 ? "QUILME01.sys" : "QUILME02.sys"));
    EXPECT_EQ(joinedParts(), bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, FirstDiskFiles,
                         ::testing::Values(FirstDiskCase{"room for a part", false, 1500},
                                           FirstDiskCase{"room for a part, autorun", true, 1500},
                                           FirstDiskCase{"full before the first part", false, 200},
                                           FirstDiskCase{"full before the first part, autorun", true, 200}));

TEST_F(CopyRun, WipeEmptiesEveryDiskButKeepsDotFilesAndFolders) {
    const std::string bytes = makeSource(3000);
    temp_.write("drive/disk1/.versteckt", "bleibt");
    temp_.write("drive/disk1/Ordner/drin.txt", "bleibt");
    const fs::path readOnly = temp_.write("drive/disk1/schreibgeschuetzt.txt", "weg");
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
    temp_.write("drive/disk1/QUIL.EXE", "alte Fassung");
    temp_.write("drive/disk2/alt.dat", "weg");
    temp_.write("drive/disk2/.bleibt", "bleibt");
    controls_.wipe();
    drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + 2000);
    // The wipe runs before the reassembler is copied: at its first yield no QUIL.EXE is there.
    events().onYield([&](int count) {
        if (count == 1) {
            EXPECT_FALSE(existsOnDisk(0, "QUIL.EXE"));
        }
    });
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk,
                   [&] { drive_.insert(temp_.path() / "drive" / "disk2"); });
    runToCompletion();
    EXPECT_THAT(filesOn(0), ElementsAre(".versteckt", "QUIL.EXE", "QUILME01.sys"));
    EXPECT_TRUE(fs::exists(disk(0) / "Ordner" / "drin.txt"));
    EXPECT_THAT(filesOn(1), ElementsAre(".bleibt", "QUILME02.sys"));
    EXPECT_EQ(joinedParts(), bytes);
}

struct OldPartCase {
    const char* name;
    bool readOnly;
};

// An old part of the next name, or an old reassembler, read-only or not.
class OldFileOfASetName : public CopyRunFixture, public ::testing::WithParamInterface<OldPartCase> {};

TEST_P(OldFileOfASetName, IsReplaced) {
    const std::string bytes = makeSource(1000);
    const fs::path old = temp_.write(std::string("drive/disk1/") + GetParam().name, std::string(4000, 'x'));
    if (GetParam().readOnly) {
        fs::permissions(old, fs::perms::owner_read);
    }
    runToCompletion();
    EXPECT_THAT(filesOn(0), ElementsAre("QUIL.EXE", "QUILME01.sys"));
    EXPECT_EQ(onDisk(0, "QUILME01.sys"), bytes);
    EXPECT_EQ(onDisk(0, "QUIL.EXE"), expectedQuilExe(bytes));
}

INSTANTIATE_TEST_SUITE_P(Table, OldFileOfASetName,
                         ::testing::Values(OldPartCase{"QUILME01.sys", false}, OldPartCase{"QUILME01.sys", true},
                                           OldPartCase{"quilme01.SYS", true}, OldPartCase{"QUIL.EXE", true}));

// The disk put in for the 101st part is wiped like every new disk.
TEST_F(CopyRun, TheHundredthPartIsNamed00AndTheHundredAndFirstMustNotReplaceTheFirst) {
    const std::string bytes = makeSource(101);
    controls_.limit(".001", 0).wipe(); // one byte per part
    boxes().expect(text::kOwnParts, rt::kInfoOkCancel, rt::kResultOk, [&] {
        temp_.write("drive/fremd/alt.txt", "von früher");
        drive_.insert(temp_.path() / "drive" / "fremd");
    });
    runToCompletion();
    EXPECT_EQ(filesOn(0).size(), 101U); // QUIL.EXE and QUILME01.sys to QUILME99.sys and QUILME00.sys
    EXPECT_EQ(onDisk(0, "QUILME01.sys"), bytes.substr(0, 1));
    EXPECT_EQ(onDisk(0, "QUILME00.sys"), bytes.substr(99, 1));
    EXPECT_THAT(filesOn(1), ElementsAre("QUILME01.sys"));
    EXPECT_EQ(onDisk(1, "QUILME01.sys"), bytes.substr(100, 1));
    EXPECT_EQ(joinedParts(), bytes);
}

TEST_F(CopyRun, AbbrechenDuringAYieldEndsTheProgramAndKeepsWhatWasWritten) {
    const std::string bytes = makeSource(300000);
    // The window's handler: the same question, and on Yes the end of the program. The first
    // yield comes while QUIL.EXE is read back, then one before each chunk.
    events().onYield([&](int count) {
        if (count == 3 && kopierer::ConfirmAbort(runtime())) {
            runtime().end(0);
        }
    });
    boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultYes);
    EXPECT_THROW(run(), rt::ProgramEnded);
    EXPECT_EQ(onDisk(0, "QUILME01.sys"), bytes.substr(0, 131072));
}

} // namespace
} // namespace copier_tests
