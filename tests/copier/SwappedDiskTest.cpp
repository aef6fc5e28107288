// The run cannot see a disk being swapped: the user may take one out at any dialog and put in a
// disk used before. Whatever dialog it came through, that disk is a new disk, and the whole set
// ends up on it without a stranger's part. And two runs never write into one target at once.
#include "CopyRunFixture.h"

#include <gmock/gmock.h>

namespace copier_tests {
namespace {

using ::testing::ElementsAreArray;
using Op = testing_support::SimulatedDrive::Op;

struct SwapCase {
    const char* name;
    std::function<void(CopyScene&)> provoke;
    std::string prompt;
    bool wipe = false;
};

class SwappedDisk : public CopyRunFixture, public ::testing::WithParamInterface<SwapCase> {};

TEST_P(SwappedDisk, AtAnyDialogIsTreatedAsNew) {
    const SwapCase& c = GetParam();
    const std::string bytes = makeSource(5000);
    controls_.wipe(c.wipe);
    // A disk of an older set, with a part numbered like each of this set's.
    for (const char* name : {"QUIL.EXE", "QUILME01.sys", "QUILME02.sys", "brief.txt"}) {
        temp_.write(std::string("used/") + name, std::string(700, 'x'));
    }
    c.provoke(*this);
    boxes().expect(c.prompt, rt::kCriticalOkCancel, rt::kResultOk, [&] {
        drive_.setWriteProtected(false);
        drive_.insert(temp_.path() / "used");
    });
    runToCompletion();
    const std::vector<std::string> expected = c.wipe
                                                  ? std::vector<std::string>{"QUIL.EXE", "QUILME01.sys"}
                                                  : std::vector<std::string>{"QUIL.EXE", "QUILME01.sys", "brief.txt"};
    const std::size_t used = drive_.disks().size() - 1;
    EXPECT_THAT(filesOn(used), ElementsAreArray(expected));
    EXPECT_EQ(onDisk(used, "QUIL.EXE"), expectedQuilExe(bytes));
    EXPECT_EQ(onDisk(used, "QUILME01.sys"), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SwappedDisk,
    ::testing::Values(
        SwapCase{"WriteProtectedAtTheReassembler", [](CopyScene& s) { s.drive_.setWriteProtected(true); },
                 text::kTargetError},
        // The first open on the disk is the trailer's, the second the part's.
        SwapCase{"PartRefused", [](CopyScene& s) { s.drive_.failNext(Op::Open, 70, 1); }, text::kTargetError},
        SwapCase{"NotReadyAtTheFirstChunk", [](CopyScene& s) { s.drive_.failNext(Op::Write, 71, 4); }, text::kNotReady},
        SwapCase{"PartLostAtItsClose", [](CopyScene& s) { s.drive_.failNext(Op::Close, 57, 1); }, text::kTargetError},
        SwapCase{"WipeRefused",
                 [](CopyScene& s) {
                     s.temp_.write("drive/disk1/alt.txt", "weg");
                     s.drive_.failNext(Op::Remove, 75);
                 },
                 text::kWipeError, true}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// No link, just another name: the floppy's folder reached through a fixed drive's tree is the
// floppy, read back like it.
TEST_F(CopyRunFixture, TheFloppyReachedThroughAnotherDrivesTreeIsTheFloppy) {
    const std::string bytes = makeSource(5000);
    runtime().drives().setFixedDrive('Z', (temp_.path() / "drive").string());
    controls_.targetFolder("Z:\\disk1");
    runToCompletion();
    EXPECT_EQ(joinedParts(), bytes);
    EXPECT_EQ(drive_.readBacks(), (std::vector<std::string>{"QUIL.EXE", "QUILME01.sys"}));
}

const std::string kTargetBusy = "Splitwerk 99 schreibt gerade schon in dieses Ziel.\r"
                                "Es wurde nichts geschrieben. Bitte senden Sie die Datei erneut an Splitwerk 99, wenn "
                                "diese Sicherung fertig ist, oder wählen Sie dabei ein anderes Ziel.";

// A second run starts while the first one is under way; it must stop before writing anything,
// whatever the first run's drive shows at that moment.
struct TwoRunsCase {
    const char* name;
    std::function<void(CopyScene&)> setScene;  // before the first run
    std::function<void(CopyScene&)> secondRun; // starts the second run at the right moment
    bool floppy = true;
    std::size_t firstDisk = 0; // the disk that got QUIL.EXE
};

class TwoRuns : public CopyRunFixture, public ::testing::WithParamInterface<TwoRunsCase> {};

TEST_P(TwoRuns, OnOneTargetTheSecondStopsBeforeWritingAndTheLockGoesWithTheFirst) {
    const TwoRunsCase& c = GetParam();
    const std::string bytes = makeSource(300000);
    c.setScene(*this);
    c.secondRun(*this);
    runToCompletion();
    const std::string quil =
        c.floppy ? onDisk(c.firstDisk, "QUIL.EXE") : testing_support::readFile(cRoot_ / "ZIEL" / "QUIL.EXE");
    EXPECT_EQ(quil, expectedQuilExe(bytes));
    if (c.floppy) {
        EXPECT_EQ(joinedParts(), bytes);
        EXPECT_FALSE(existsOnDisk(c.firstDisk, "sub/QUIL.EXE"));
    }
    // Over: the next run is free to write there.
    events().onYield([](int) {});
    runToCompletion();
}

// The second run meets the busy target while the first one yields between its chunks: into the
// same target, into another folder of the same disk, or onto that disk under the letter D:, as
// another program that gave the media their letters at another moment may see it.
std::function<void(CopyScene&)> secondRunAtTheSecondYield(std::string folder = {}, bool asDriveD = false) {
    return [folder, asDriveD](CopyScene& s) {
        s.boxes().expect(kTargetBusy, rt::kCriticalOk, rt::kResultOk);
        s.events().onYield([&s, folder, asDriveD](int count) {
            if (count != 2) {
                return;
            }
            rt::DriveMap& drives = s.runtime().drives();
            if (asDriveD) {
                drives.removeDrive('A');
                drives.setDrive('D', s.drive_.resolver());
            }
            if (!folder.empty()) {
                s.controls_.targetFolder(folder);
            }
            s.run();
            if (asDriveD) {
                drives.removeDrive('D');
                drives.setDrive('A', s.drive_.resolver());
            }
            s.controls_.floppyTarget = s.controls_.floppyTarget || !folder.empty(); // A: again
        });
    };
}

INSTANTIATE_TEST_SUITE_P(
    Targets, TwoRuns,
    ::testing::Values(
        TwoRunsCase{"Floppy", [](CopyScene&) {}, secondRunAtTheSecondYield()},
        TwoRunsCase{"Folder",
                    [](CopyScene& s) {
                        s.temp_.write("c/ZIEL/brief.txt", "bleibt");
                        s.controls_.targetFolder("C:\\ZIEL");
                    },
                    secondRunAtTheSecondYield(), false},
        TwoRunsCase{"AnotherFolderOfTheFloppy", [](CopyScene& s) { s.temp_.write("drive/disk1/sub/x", ""); },
                    secondRunAtTheSecondYield("A:\\sub")},
        TwoRunsCase{"TheSameDiskUnderAnotherLetter", [](CopyScene&) {}, secondRunAtTheSecondYield("D:\\", true)},
        // The next disk comes up at another mount point than the first.
        TwoRunsCase{"FloppyAfterADiskChange", [](CopyScene& s) { s.drive_.setCapacity(200000); },
                    [](CopyScene& s) {
                        s.boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, [&s] {
                            s.swapToBlankDisk()();
                            s.run();
                        });
                        s.boxes().expect(kTargetBusy, rt::kCriticalOk, rt::kResultOk);
                    }},
        // Nothing is mounted when the first run starts.
        TwoRunsCase{"EmptyDriveAtTheFirstOk", [](CopyScene& s) { s.drive_.eject(); },
                    [](CopyScene& s) {
                        s.boxes().expect(text::kTargetError, rt::kCriticalOkCancel, rt::kResultOk, [&s] {
                            s.drive_.insertBlank();
                            s.run();
                        });
                        s.boxes().expect(kTargetBusy, rt::kCriticalOk, rt::kResultOk);
                    },
                    true, 1}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace copier_tests
