// The copy run on real media: a 1440 KiB tmpfs as drive A: in a private mount namespace,
// where "disk full" is the kernel's ENOSPC and a new disk is a fresh mount; and a medium whose
// writes the kernel loses, as a worn diskette's.
#include "CopyRunFixture.h"
#include "app/ReassemblerPolicy.h"
#include "runtime/posix/LinuxDrives.h"
#include "runtime/posix/PosixFileSystem.h"

#include "support/PrivateMount.h"
#include "support/copy_driver/DialogAnswerer.h"
#include "support/copy_driver/RealFileRuntime.h"

#include <filesystem>
#include <optional>

namespace copier_tests {
namespace {

namespace fs = std::filesystem;
using testing_support::FailingMedium;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::TmpfsMount;

constexpr unsigned kFloppyKib = 1440;

class RealFloppy : public ::testing::Test {
protected:
    void SetUp() override {
        std::string whyNot;
        floppy_ = TmpfsMount::mount(drive(), kFloppyKib, whyNot);
        if (!floppy_) {
            GTEST_SKIP() << "no 1440 KiB tmpfs: " << whyNot;
        }
        temp_.write("prog/QUIL.SYS", "QUIL.SYS stand-in\r\n");
    }

    std::string drive() const { return (temp_.path() / "a").string(); }

    rt::RuntimeParts parts(rt::MessageBoxService& dialogs) {
        copy_driver::RealFileServices services{&posix_, &dialogs, &events_, &end_};
        return copy_driver::realFileParts(services, (temp_.path() / "prog").string(), rt::mountPointResolver(drive()));
    }

    // Takes the disk out, keeping a copy of what it holds, and puts a new empty one in.
    bool changeDisk() {
        fs::copy(drive(), temp_.path() / ("disk" + std::to_string(++disks_)), fs::copy_options::recursive);
        std::string whyNot;
        const bool out = floppy_->unmount(whyNot);
        floppy_.reset();
        if (out) {
            floppy_ = TmpfsMount::mount(drive(), kFloppyKib, whyNot);
        }
        EXPECT_TRUE(floppy_.has_value()) << whyNot;
        return floppy_.has_value();
    }

    TempDir temp_;
    std::optional<TmpfsMount> floppy_;
    int disks_ = 0;
    rt::PosixFileSystem posix_;
    rt::NoEvents events_;
    rt::ThrowingEnd end_;
};

TEST_F(RealFloppy, AThreeMegabyteFileGoesOntoThreeDisksAndJoinsBack) {
    const std::string bytes = testing_support::randomBytes(3 * 1024 * 1024, 7);
    temp_.write("Daten/Archiv.zip", bytes);
    copy_driver::DialogAnswerer dialogs;
    dialogs.onNextDisk([this] { return changeDisk(); });
    rt::Runtime runtime(parts(dialogs));
    testing_support::ScriptedControls controls;
    controls.autorun();
    const core::SourceSelection source = copy_driver::selectSource(
        copy_driver::driveLetterPath(runtime.drives(), (temp_.path() / "Daten/Archiv.zip").string()));

    kopierer::RunCopy(runtime, controls, source, app::reassemblerChoice(runtime.facts()));
    ASSERT_TRUE(changeDisk()); // keeps the last disk too

    EXPECT_TRUE(dialogs.sawPrompt(text::kFinished));
    std::string joined;
    for (int disk = 1; disk <= disks_; ++disk) {
        const fs::path folder = temp_.path() / ("disk" + std::to_string(disk));
        const fs::path part = folder / partName(disk);
        ASSERT_TRUE(fs::exists(part)) << part;
        EXPECT_LE(fs::file_size(part), kFloppyKib * 1024U);
        joined += readFile(part);
        EXPECT_EQ(fs::exists(folder / "QUIL.EXE"), disk == 1);
        EXPECT_EQ(fs::exists(folder / "autorun.inf"), disk == 1);
    }
    EXPECT_EQ(disks_, 3);
    EXPECT_EQ(joined, bytes);
}

// Answers every box with OK, after doing what the user does at it.
class AnsweringOk final : public rt::MessageBoxService {
public:
    std::function<void(const std::string&)> atBox;
    std::vector<std::string> prompts;
    int show(const std::string& prompt, int, const std::string&) override {
        prompts.push_back(prompt);
        atBox(prompt);
        return 1;
    }
};

TEST_F(RealFloppy, AMediumThatLosesWhatItWasGivenNeverEndsInFinishedAndTheSetGoesOntoTheNextDisk) {
    std::string whyNot;
    ASSERT_TRUE(floppy_->unmount(whyNot)) << whyNot;
    // Room in memory for the file system and the reassembler, not for the part.
    std::optional<FailingMedium> failing =
        FailingMedium::mount(drive(), (temp_.path() / "speicher").string(), kFloppyKib, 320, whyNot);
    if (!failing) {
        GTEST_SKIP() << whyNot;
    }
    // Below the early writeback's step: only the flush at the close can tell.
    const std::string bytes = testing_support::randomBytes(900 * 1024, 5);
    temp_.write("Daten/Archiv.zip", bytes);
    AnsweringOk dialogs;
    dialogs.atBox = [&](const std::string& prompt) {
        if (prompt == text::kTargetError && failing) {
            failing.reset(); // the worn disk comes out, a good one goes in
            floppy_ = TmpfsMount::mount(drive(), kFloppyKib, whyNot);
        }
    };
    rt::Runtime runtime(parts(dialogs));
    testing_support::ScriptedControls controls;
    kopierer::RunCopy(runtime, controls,
                      copy_driver::selectSource(
                          copy_driver::driveLetterPath(runtime.drives(), (temp_.path() / "Daten/Archiv.zip").string())),
                      app::reassemblerChoice(runtime.facts()));

    EXPECT_THAT(dialogs.prompts, ::testing::ElementsAre(text::kTargetError, text::kFinished));
    EXPECT_EQ(readFile(fs::path(drive()) / "QUILME01.sys"), bytes);
    EXPECT_TRUE(fs::exists(fs::path(drive()) / "QUIL.EXE"));
}

} // namespace
} // namespace copier_tests
