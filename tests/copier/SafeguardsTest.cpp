// What the run does so that nothing is lost: part sizes it cannot use, more than 99 parts in
// one folder, a disk that already holds this run's files, the source and the reassembler in
// the target folder, and a source that shrinks during the run.
#include "CopyRunFixture.h"

#include <filesystem>
#include <fstream>
#include <tuple>

namespace copier_tests {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing_support::readFile;

// Refused in German before the wipe, never an overflow: a part size below one byte or beyond
// any size (before the source is opened), and parts too small for the 16-bit part numbers (one
// byte each, one part too many).
struct RefusedSizeCase {
    const char* limit;
    int unit;
    std::size_t sourceSize;
    std::string prompt;
    bool beforeTheSourceIsOpened = true; // else its length is needed
};

class RefusedSize : public CopyRunFixture, public ::testing::WithParamInterface<RefusedSizeCase> {};

TEST_P(RefusedSize, BeforeAnythingIsWiped) {
    makeSource(GetParam().sourceSize);
    controls_.limit(GetParam().limit, GetParam().unit).wipe();
    temp_.write("drive/disk1/alt.txt", "bleibt");
    if (GetParam().beforeTheSourceIsOpened) {
        // A locked source would show its dialog if the run tried to open it.
        drive_.lock(sourceFile());
    }
    boxes().expect(GetParam().prompt, rt::kCriticalOk, rt::kResultOk);
    run();
    EXPECT_THAT(filesOn(0), ElementsAre("alt.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedSize,
    ::testing::Values(RefusedSizeCase{"", 0, 5000, text::kPartSizeTooSmall},
                      RefusedSizeCase{"abc", 0, 5000, text::kPartSizeTooSmall},
                      RefusedSizeCase{"0", 0, 5000, text::kPartSizeTooSmall},
                      RefusedSizeCase{"-5", 0, 5000, text::kPartSizeTooSmall},
                      RefusedSizeCase{"0.0001", 0, 5000, text::kPartSizeTooSmall},
                      RefusedSizeCase{"9E99", 1, 10, text::kPartSizeTooLarge},
                      RefusedSizeCase{"0.001", 0, 32668,
                                      "Diese Sicherung bräuchte mehr als 32667 Teilarchive; so viele kann Splitwerk 99 "
                                      "nicht nummerieren.\rBitte senden Sie die Datei erneut an Splitwerk 99 und "
                                      "wählen Sie größere Teile.",
                                      false}));

struct FolderPartsCase {
    std::size_t sourceSize;
    bool refused;
};

class FolderTargetParts : public CopyRunFixture, public ::testing::WithParamInterface<FolderPartsCase> {};

TEST_P(FolderTargetParts, MoreThan100AreRefusedBeforeAnythingIsWritten) {
    const std::string bytes = makeSource(GetParam().sourceSize);
    fs::create_directories(cRoot_ / "Ziel");
    controls_.targetFolder("C:\\Ziel").limit("1", 0).autorun();
    boxes().expect(GetParam().refused ? text::kTooManyParts : text::kFinished,
                   GetParam().refused ? rt::kCriticalOk : rt::kInfoOk, rt::kResultOk);
    run();
    EXPECT_FALSE(runtime().files().isOpen(1));
    const auto files = std::distance(fs::directory_iterator(cRoot_ / "Ziel"), fs::directory_iterator());
    EXPECT_EQ(files, GetParam().refused ? 0 : 100 + 2);
    if (!GetParam().refused) {
        EXPECT_EQ(testing_support::readFile(cRoot_ / "Ziel" / "QUILME00.sys"), bytes.substr(99 * 1024));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FolderTargetParts,
                         ::testing::Values(FolderPartsCase{100 * 1024, false}, FolderPartsCase{100 * 1024 + 1, true}));

// With the wipe or without: the first disk put back keeps its part.
class ReinsertedFirstDisk : public CopyRunFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(ReinsertedFirstDisk, IsNotWipedAndTheUserIsAskedForAnother) {
    const std::string bytes = makeSource(5000);
    controls_.wipe(GetParam());
    drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + 3000);
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk, [&] { drive_.insert(disk(0)); });
    boxes().expect(text::kOwnParts, rt::kInfoOkCancel, rt::kResultCancel);
    boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultNo);
    boxes().expect(text::kOwnParts, rt::kInfoOkCancel, rt::kResultOk, [&] { drive_.insertBlank(); });
    runToCompletion();
    EXPECT_THAT(filesOn(0), ElementsAre("QUIL.EXE", "QUILME01.sys"));
    EXPECT_EQ(onDisk(0, "QUIL.EXE"), expectedQuilExe(bytes));
    EXPECT_EQ(joinedParts(), bytes);
}

INSTANTIATE_TEST_SUITE_P(WipeOnAndOff, ReinsertedFirstDisk, ::testing::Bool());

// Most PCs have no floppy drive: the target box says so instead of asking to check the disk,
// and keeps its retry, which finds a USB floppy drive plugged in meanwhile.
TEST_F(CopyRunFixture, WithoutAFloppyDriveTheBoxSaysSoAndOkFindsOnePluggedIn) {
    const std::string bytes = makeSource(5000);
    bool plugged = false;
    const rt::DriveMap::Resolver disk = drive_.resolver();
    runtime().drives().setDrive(
        'A', [&]() { return plugged ? disk() : std::nullopt; }, [&] { return plugged; });
    const std::string noDrive = "Auf den Zieldatenträger kann nicht geschrieben werden.\r"
                                "Dieser Rechner hat kein Diskettenlaufwerk A:. Schließen Sie eines an (auch über USB) "
                                "und klicken Sie auf OK,\roder brechen Sie ab und wählen Sie beim nächsten Start "
                                "\"Anderes Ziel festlegen ...\".";
    boxes().expect(noDrive, rt::kCriticalOkCancel, rt::kResultCancel);
    boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultNo);
    boxes().expect(noDrive, rt::kCriticalOkCancel, rt::kResultOk, [&] { plugged = true; });
    runToCompletion();
    EXPECT_EQ(onDisk(0, "QUILME01.sys"), bytes);
}

TEST_F(CopyRunFixture, AFolderOnAFixedDiskThatFillsUpGoesOnOnceThereIsRoom) {
    const std::string bytes = makeSource(300000);
    // The simulated disk as a fixed drive, and no longer as the floppy.
    runtime().drives().removeDrive('A');
    runtime().drives().setFixedDrive('D', disk(0).string());
    controls_.targetFolder("D:\\");
    drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + 200000);
    boxes().expect(text::kFolderFull, rt::kInfoOkCancel, rt::kResultOk, [&] { drive_.setCapacity(std::nullopt); });
    runToCompletion();
    EXPECT_THAT(filesOn(0), ElementsAre("QUIL.EXE", "QUILME01.sys", "QUILME02.sys"));
    EXPECT_EQ(onDisk(0, "QUILME01.sys") + onDisk(0, "QUILME02.sys"), bytes);
}

TEST_F(CopyRunFixture, AFolderTargetThatFillsUpKeepsItsPartsWhenTheWipeRunsAgain) {
    const std::string bytes = makeSource(5000);
    controls_.targetFolder("A:\\").wipe();
    drive_.setCapacity(static_cast<int64_t>(expectedQuilExe(bytes).size()) + 3000);
    // The same folder stays the target; the user gives up once the parts are protected.
    boxes().expect(text::kDiskFull, rt::kInfoOkCancel, rt::kResultOk);
    boxes().expect(text::kOwnParts, rt::kInfoOkCancel, rt::kResultCancel);
    boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultYes);
    run();
    EXPECT_THAT(filesOn(0), ElementsAre("QUIL.EXE", "QUILME01.sys"));
    EXPECT_EQ(onDisk(0, "QUILME01.sys"), bytes.substr(0, onDisk(0, "QUILME01.sys").size()));
}

TEST_F(CopyRunFixture, TheWipeKeepsTheSourceAndTheReassemblerInTheTargetFolder) {
    const std::string bytes = makeSource(5000);
    temp_.write("c/DATEN/anderes.txt", "weg");
    controls_.targetFolder("C:\\DATEN").wipe();
    boxes().expect(text::wipeQuestion("C:\\DATEN\\"), rt::kQuestionYesNoDefaultNo, rt::kResultYes);
    runToCompletion();
    EXPECT_EQ(testing_support::readFile(sourceFile()), bytes);
    EXPECT_FALSE(fs::exists(cRoot_ / "DATEN" / "anderes.txt"));
    EXPECT_EQ(testing_support::readFile(cRoot_ / "DATEN" / "QUILME01.sys"), bytes);
}

// Either folder, whichever reassembler the run ships (its own, or the Windows one for a set for a
// Windows PC): both are kept, so the wipe has nothing to delete and asks nothing.
TEST(ShippedReassembler, IsKeptByTheWipeInTheProgramFolder) {
    for (const bool forWindowsPc : {false, true}) {
        for (const auto& [target, folder] :
             {std::pair("C:\\PROG", "PROG"), std::pair("C:\\PROG\\windows", "PROG/windows")}) {
            SCOPED_TRACE(testing::Message() << target << (forWindowsPc ? ", for a Windows PC" : ""));
            CopyScene scene(nullptr, forWindowsPc);
            const std::string bytes = scene.makeSource(5000);
            const fs::path prog = scene.cRoot_ / "PROG";
            const std::string shipped[] = {readFile(prog / "QUIL.SYS"), readFile(prog / "windows" / "QUIL.SYS")};
            scene.controls_.targetFolder(target).wipe();
            scene.runToCompletion();
            EXPECT_TRUE(scene.boxes().allShown());
            EXPECT_EQ(readFile(scene.cRoot_ / folder / "QUIL.EXE"), scene.expectedQuilExe(bytes));
            EXPECT_EQ(readFile(prog / "QUIL.SYS"), shipped[0]);
            EXPECT_EQ(readFile(prog / "windows" / "QUIL.SYS"), shipped[1]);
        }
    }
}

// Only the root of a removable medium is emptied without a question; a folder on it is asked
// for like any folder. No keeps everything and writes nothing.
TEST_F(CopyRunFixture, TheWipeAsksForEveryFolderButARemovableRoot) {
    makeSource(5000);
    const std::tuple<const char*, fs::path, bool> targets[] = {
        {"C:\\ZIEL\\", cRoot_ / "ZIEL", true}, {"A:\\Sub\\", disk(0) / "Sub", true}, {"A:\\", disk(0), false}};
    for (const auto& [target, folder, asked] : targets) {
        SCOPED_TRACE(target);
        fs::create_directories(folder);
        std::ofstream(folder / "brief.txt") << "bleibt bei Nein";
        controls_.targetFolder(target).wipe();
        boxes().expect(asked ? text::wipeQuestion(target) : text::kFinished,
                       asked ? rt::kQuestionYesNoDefaultNo : rt::kInfoOk, asked ? rt::kResultNo : rt::kResultOk);
        run();
        EXPECT_TRUE(boxes().allShown());
        EXPECT_EQ(fs::exists(folder / "brief.txt"), asked);
        EXPECT_EQ(fs::exists(folder / "QUIL.EXE"), !asked);
    }
}

// A source that changes its length before the second chunk (the first yield reads QUIL.EXE back):
// grown, it is given up before the end, never copied on to its new end; shrunk, it is a source
// error and the part is never padded.
struct ChangeCase {
    const char* name;
    int answer; // 0: grown; 1: shrunk and back before OK; 2: shrunk and given up
};

class ChangingSource : public CopyRunFixture, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangingSource, IsNeverFinishedNorPadded) {
    const ChangeCase& c = GetParam();
    const std::string bytes = makeSource(300000);
    events().onYield([&](int count) {
        if (count == 3 && c.answer == 0) {
            std::ofstream(sourceFile(), std::ios::app | std::ios::binary) << std::string(100000, 'm');
        } else if (count == 3) {
            fs::resize_file(sourceFile(), 200000);
        }
    });
    if (c.answer == 1) {
        // Put back, the file has still changed during the run: the set is not reported finished.
        boxes().expect(text::kSourceError, rt::kCriticalOkCancel, rt::kResultOk,
                       [&] { temp_.write("c/DATEN/Bericht.doc", bytes); });
    } else if (c.answer == 2) {
        boxes().expect(text::kSourceError, rt::kCriticalOkCancel, rt::kResultCancel);
        boxes().expect(text::kConfirmAbort, rt::kQuestionYesNoDefaultNo, rt::kResultYes);
    }
    if (c.answer != 2) {
        boxes().expect(text::kSourceChanged, rt::kCriticalOk, rt::kResultOk);
    }
    run();
    EXPECT_EQ(onDisk(0, "QUILME01.sys"), c.answer == 2 ? bytes.substr(0, 131072) : bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, ChangingSource,
                         ::testing::Values(ChangeCase{"Grown", 0}, ChangeCase{"ShrunkAndRestored", 1},
                                           ChangeCase{"ShrunkAndGivenUp", 2}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
} // namespace copier_tests
