// The bundled runtime: the report of an unhandled error, the end that closes every file, and
// the lock space. Its file services by drive-letter name are one-line forwarders to the file
// system, met by the tests of the load handler and the copy run.
#include "runtime/Runtime.h"
#include "support/Outcomes.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempDir.h"
#include "support/TestRuntime.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using testing_support::ScriptedMessageBox;
using testing_support::TempDir;

using testing_support::endStatusOf;

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
