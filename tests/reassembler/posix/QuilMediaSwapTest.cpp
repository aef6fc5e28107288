// QUIL.EXE started from a real (tmpfs) floppy of 1440 KiB in a private mount namespace: the
// disks are swapped by unmounting and mounting at the same place while the program waits,
// which only works when it no longer runs from, holds open or stands in the medium.
#include "QuilRun.h"

#include "support/PrivateMount.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>

namespace {

using quil_test::entries;
using quil_test::makeReassembler;
using quil_test::runQuil;
using quil_test::trailer;
using quil_test::writeParts;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::TmpfsMount;

// A 1440 KiB floppy; a sanitizer build of QUIL.SYS alone is larger than that, and then the
// disk grows by the program's size, since these tests are about swapping, not capacity.
unsigned floppyKib() {
    const auto programKib = static_cast<unsigned>(std::filesystem::file_size(SPLITWERK_BUILD_DIR "/QUIL.SYS") / 1024);
    return programKib < 512 ? 1440 : 1440 + programKib;
}

class QuilMediaSwapTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root_.path() / "out");
        std::filesystem::create_directories(root_.path() / "tmp");
        std::string whyNot;
        floppy_ = TmpfsMount::mount(drive(), floppyKib(), whyNot);
        if (!floppy_) {
            GTEST_SKIP() << "no private tmpfs floppy: " << whyNot;
        }
    }

    std::string drive() const { return (root_.path() / "floppy").string(); }
    std::filesystem::path out() const { return root_.path() / "out"; }

    // Takes the disk out (this fails while the medium is busy) and puts in the next one.
    bool swapDisk(std::string& whyNot) {
        if (!floppy_->unmount(whyNot)) {
            return false;
        }
        floppy_.reset();
        floppy_ = TmpfsMount::mount(drive(), floppyKib(), whyNot);
        return floppy_.has_value();
    }

    TempDir root_;
    std::optional<TmpfsMount> floppy_;
};

TEST_F(QuilMediaSwapTest, ThreeDisksSwappedInTheSameDrive) {
    const std::string data = testing_support::randomBytes(900000, 21);
    makeReassembler(drive(), trailer("900000", "Q:\\nirgends\\", "archiv.zip", "ARCHIV.ZIP"));
    std::size_t used = writeParts(drive(), data, {300000});

    std::vector<std::string> swapFailures;
    auto nextDisk = [&](long part, std::size_t size) {
        return [&, part, size]() {
            std::string whyNot;
            if (!swapDisk(whyNot)) {
                swapFailures.push_back("before part " + std::to_string(part) + ": " + whyNot);
                return false;
            }
            used = writeParts(drive(), data, {size}, part, used);
            return true;
        };
    };
    // Started the way a user starts it: from the disk, standing in the disk's folder.
    const auto result =
        runQuil(std::filesystem::path(drive()) / "QUIL.EXE", {out().string()}, drive(), root_.path() / "tmp",
                {{"Diskette mit QUILME02.sys ein", "", nextDisk(2, 400000)},
                 {"Diskette mit QUILME03.sys ein", "", nextDisk(3, 200000)}});
    EXPECT_TRUE(swapFailures.empty()) << swapFailures.front() << "\n" << result.output;
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(readFile(out() / "archiv.zip") == data);
    EXPECT_TRUE(entries(root_.path() / "tmp").empty()) << "the private copy stayed";
}

TEST_F(QuilMediaSwapTest, WritingOntoTheFirstDiskOfASetThatNeedsMoreIsRefused) {
    // No argument, a source folder unknown here, started in the disk's folder: the output
    // would land on the floppy, which then could not be swapped.
    makeReassembler(drive(), trailer("500000", "Q:\\nirgends\\", "archiv.zip", "ARCHIV.ZIP"));
    writeParts(drive(), testing_support::randomBytes(300000, 22), {300000});
    const std::vector<std::string> before = entries(drive());

    const auto result = runQuil(std::filesystem::path(drive()) / "QUIL.EXE", {}, drive(), root_.path() / "tmp");
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find("Bitte geben Sie einen Zielordner auf einem anderen Datenträger an"),
              std::string::npos)
        << result.output;
    EXPECT_EQ(result.output.find("Bitte legen Sie"), std::string::npos) << result.output;
    EXPECT_EQ(entries(drive()), before);

    // A set that is complete on the disk may be restored onto it.
    makeReassembler(drive(), trailer("300000", "Q:\\nirgends\\", "archiv.zip", "ARCHIV.ZIP"));
    const auto complete = runQuil(std::filesystem::path(drive()) / "QUIL.EXE", {}, drive(), root_.path() / "tmp");
    EXPECT_EQ(complete.exitCode, 0) << complete.output;
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(drive()) / "archiv.zip"));
}

TEST_F(QuilMediaSwapTest, AFullTargetIsReportedBeforeAnythingIsWritten) {
    // The output folder is a second small medium; the restored file would not fit on it.
    std::string whyNot;
    auto small = TmpfsMount::mount((root_.path() / "klein").string(), 64, whyNot);
    ASSERT_TRUE(small) << whyNot;
    makeReassembler(drive(), trailer("200000", "", "gross.bin", "gross.bin"));
    writeParts(drive(), testing_support::randomBytes(200000, 23), {200000});

    const auto result =
        runQuil(std::filesystem::path(drive()) / "QUIL.EXE", {small->directory()}, root_.path(), root_.path() / "tmp");
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find("ist nicht genug Platz: gebraucht werden 200000 Bytes"), std::string::npos)
        << result.output;
    EXPECT_TRUE(entries(small->directory()).empty());
}

// Mit Ersatzdiskette: a lost disk is named by its number on a swapped medium, and the recovery
// data is copied off the Ersatzdiskette before the next disk goes in.
TEST_F(QuilMediaSwapTest, ALostDiskIsRebuiltFromTheErsatzdiskette) {
    const std::filesystem::path made = root_.path() / "made";
    const std::string data = testing_support::randomBytes(900000, 24);
    quil_test::writeRecoverySet(made, data, {300000, 400000, 200000}, "archiv.zip");
    auto put = [&](const char* name) { return std::filesystem::copy_file(made / name, drive() + "/" + name); };
    auto insert = [&](const char* name) {
        return [&, name] {
            std::string whyNot;
            return swapDisk(whyNot) && put(name);
        };
    };
    put("QUIL.EXE");
    put("QUILME01.sys");
    const auto result =
        runQuil(std::filesystem::path(drive()) / "QUIL.EXE", {out().string()}, drive(), root_.path() / "tmp",
                {{"Diskette mit QUILME02.sys ein", "v"},
                 {"Ersatzdiskette 1 ein", "", insert("QUILME.par2")},
                 {"Diskette mit QUILME03.sys ein", "", insert("QUILME03.sys")}});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("Diskette 2 (QUILME02.sys) fehlt."), std::string::npos) << result.output;
    EXPECT_TRUE(readFile(out() / "archiv.zip") == data);
}

} // namespace
