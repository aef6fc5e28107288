// The bundled runtime: the report of an unhandled error, the end that closes every file,
// and the file services by drive-letter name.
#include "runtime/Runtime.h"
#include "runtime/HostPlatform.h"
#include "support/Outcomes.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempDir.h"
#include "support/TestRuntime.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using testing_support::ScriptedMessageBox;
using testing_support::TempDir;

using testing_support::endStatusOf;
using testing_support::errorOf;

class RuntimeTest : public ::testing::Test {
protected:
    rt::DriveMap drives() const {
        rt::DriveMap map;
        map.setFixedDrive('C', dir_.str());
        return map;
    }

    TempDir dir_;
    testing_support::TestRuntime test_{drives(), {}};
    rt::Runtime* runtime_ = &test_.runtime();
    ScriptedMessageBox& boxes_ = test_.boxes();
    std::unique_ptr<rt::FileSystem> fs_ = rt::makeHostFileSystem();
};

TEST_F(RuntimeTest, AnUnhandledErrorShowsTheReportAndEndsWithStatus1) {
    const std::pair<int, const char*> cases[] = {
        {6, "Laufzeitfehler '6':\r\rÜberlauf"},
        {61, "Laufzeitfehler '61':\r\rDatenträger voll"},
        {71, "Laufzeitfehler '71':\r\rDatenträger nicht bereit"},
    };
    for (const auto& [number, prompt] : cases) {
        boxes_.expect(prompt, rt::kCriticalOk, rt::kResultOk);
        const int error = number;
        EXPECT_EQ(endStatusOf([&] { runtime_->runGuarded([error] { rt::raise(error); }); }), 1);
    }
    // An error that carries its own description is reported with it.
    boxes_.expect("Laufzeitfehler '999':\r\rEtwas ganz anderes", rt::kCriticalOk, rt::kResultOk);
    EXPECT_EQ(endStatusOf([&] { runtime_->reportUnhandled(rt::RuntimeError(999, "Etwas ganz anderes")); }), 1);
    EXPECT_TRUE(boxes_.allShown());
}

TEST_F(RuntimeTest, RunGuardedLetsOtherExceptionsAndNormalReturnsThrough) {
    int calls = 0;
    runtime_->runGuarded([&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_THROW(runtime_->runGuarded([] { throw std::logic_error("kein Laufzeitfehler"); }), std::logic_error);
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(RuntimeTest, EndClosesEveryFileOpenByNumber) {
    rt::Files& files = runtime_->files();
    files.open(1, "C:\\QUILME01.sys", rt::OpenMode::BinaryWrite);
    files.open(2, "C:\\QUIL.EXE", rt::OpenMode::Append);
    files.put(1, "teil", 4);
    EXPECT_EQ(endStatusOf([&] { runtime_->end(0); }), 0);
    EXPECT_FALSE(files.isOpen(1));
    EXPECT_FALSE(files.isOpen(2));
    EXPECT_EQ(testing_support::readFile(dir_.path() / "QUILME01.sys"), "teil");
}

TEST_F(RuntimeTest, FileServicesByDriveLetterName) {
    dir_.write("QUIL.SYS", "reassembler");
    runtime_->fileCopy("C:\\QUIL.SYS", "C:\\QUIL.EXE");
    EXPECT_EQ(testing_support::readFile(dir_.path() / "QUIL.EXE"), "reassembler");
    EXPECT_EQ(runtime_->fileLen("C:\\QUIL.EXE"), 11);

    runtime_->setAttr("C:\\QUIL.EXE", rt::kAttrReadOnly);
    EXPECT_EQ(runtime_->getAttr("C:\\QUIL.EXE"), rt::kAttrArchive | rt::kAttrReadOnly);
    runtime_->setAttr("C:\\QUIL.EXE", rt::kAttrNormal);
    EXPECT_EQ(runtime_->getAttr("C:\\QUIL.EXE"), rt::kAttrArchive);
    EXPECT_EQ(runtime_->getAttr("C:\\"), rt::kAttrDirectory);
    EXPECT_EQ(runtime_->identity("C:\\QUIL.EXE"), fs_->identity((dir_.path() / "QUIL.EXE").string(), rt::Follow::Link));

    runtime_->kill("C:\\QUIL.EXE");
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "QUIL.EXE"));
    EXPECT_EQ(errorOf([&] { runtime_->kill("C:\\QUIL.EXE"); }), 53);
    EXPECT_EQ(errorOf([&] { runtime_->fileCopy("C:\\QUIL.SYS", "A:\\QUIL.EXE"); }), 71);
    EXPECT_EQ(errorOf([&] { runtime_->getAttr("A:\\"); }), 71);
}

TEST_F(RuntimeTest, FileLenTellsEveryLengthAcrossThe32BitBoundaries) {
    // Sparse files: the length is set, no byte is written.
    const std::int64_t cases[] = {2147483647, 2147483648, 4294967295, 4294967296, 5368709120};
    for (const std::int64_t length : cases) {
        std::filesystem::resize_file(dir_.write("gross.bin", ""), static_cast<std::uintmax_t>(length));
        EXPECT_EQ(runtime_->fileLen("C:\\gross.bin"), length);
    }
}

// A runtime built for a test or a tool takes its locks in a space of its own: a real run of the
// program on the same machine holding drive A: never stops it, and it never stops a real run.
TEST_F(RuntimeTest, ALockIsSharedOnlyWithinItsSpace) {
    const auto programs = rt::lockTarget(rt::kProgramLockSpace, "drive A");
    ASSERT_NE(programs, nullptr);
    EXPECT_EQ(rt::lockTarget(rt::kProgramLockSpace, "drive A"), nullptr);
    const auto own = runtime_->lockTarget("drive A");
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(runtime_->lockTarget("drive A"), nullptr);
    EXPECT_NE(runtime_->lockTarget("drive B"), nullptr);
}

} // namespace
