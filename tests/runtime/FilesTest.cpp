// Files by number: numbering rules, positioned reads, byte-exact text lines, closing.
#include "runtime/Files.h"
#include "runtime/Checked.h"
#include "runtime/DriveMap.h"
#include "runtime/HostPlatform.h"
#include "runtime/RuntimeError.h"
#include "support/HostFiles.h"
#include "support/InjectedFaults.h"
#include "support/Outcomes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

namespace {

using testing_support::readFile;
using testing_support::TempDir;

using testing_support::errorOf;

class FilesTest : public ::testing::Test {
protected:
    FilesTest() { drives_.setFixedDrive('C', dir_.str()); }

    TempDir dir_;
    rt::DriveMap drives_;
    std::unique_ptr<rt::FileSystem> host_ = rt::makeHostFileSystem();
    rt::FileSystem& fs_ = *host_;
    rt::Files files_{fs_, drives_};
};

TEST_F(FilesTest, NumbersAreHandedOutLowestFirstAndCheckedOnUse) {
    EXPECT_EQ(files_.freeFile(), 1);
    files_.open(1, "C:\\a.bin", rt::OpenMode::BinaryWrite);
    files_.open(3, "C:\\b.bin", rt::OpenMode::BinaryWrite);
    EXPECT_EQ(files_.freeFile(), 2);
    EXPECT_EQ(errorOf([&] { files_.open(1, "C:\\c.bin", rt::OpenMode::BinaryWrite); }), 55);
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "c.bin"));
    EXPECT_EQ(errorOf([&] { files_.open(0, "C:\\c.bin", rt::OpenMode::BinaryWrite); }), 52);
    EXPECT_EQ(errorOf([&] { files_.open(256, "C:\\c.bin", rt::OpenMode::BinaryWrite); }), 52);
    EXPECT_EQ(errorOf([&] { files_.put(2, "x", 1); }), 52);
    EXPECT_EQ(errorOf([&] { files_.lof(9); }), 52);

    files_.close(1);
    EXPECT_FALSE(files_.isOpen(1));
    EXPECT_EQ(files_.freeFile(), 1);
    files_.close(1); // closing a number that is not open is no error
    files_.close(77);
}

TEST_F(FilesTest, AllNumbersTakenIsError67) {
    for (int number = 1; number <= 255; ++number) {
        files_.open(number, "C:\\f" + std::to_string(number), rt::OpenMode::BinaryWrite);
    }
    EXPECT_EQ(errorOf([&] { files_.freeFile(); }), 67);
    files_.closeAll();
    EXPECT_EQ(files_.freeFile(), 1);
    EXPECT_FALSE(files_.isOpen(255));
}

TEST_F(FilesTest, GetReadsFromAOneBasedPositionAndSeekFollows) {
    dir_.write("quelle.bin", "ABCDEFGHIJ");
    files_.open(1, "C:\\quelle.bin", rt::OpenMode::BinaryRead);
    EXPECT_EQ(files_.seek(1), 1);
    EXPECT_EQ(files_.lof(1), 10);
    char buffer[6] = {};
    EXPECT_EQ(files_.get(1, 1, buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "ABCD");
    EXPECT_EQ(files_.seek(1), 5); // the next source chunk starts here
    EXPECT_EQ(files_.get(1, 8, buffer, 6), 3u);
    EXPECT_EQ(std::string(buffer, 3), "HIJ");
    EXPECT_EQ(files_.seek(1), 11);
    EXPECT_EQ(errorOf([&] { files_.get(1, 0, buffer, 1); }), 63);
    files_.close(1);
}

// Written data reaches the file by the close at the latest, also through closeAll at the end.
TEST_F(FilesTest, PutWritesAtThePositionAndClosingMakesTheContentsComplete) {
    files_.open(1, "C:\\a.sys", rt::OpenMode::BinaryWrite);
    files_.open(2, "C:\\teil.sys", rt::OpenMode::BinaryWrite);
    const std::string bytes = testing_support::randomBytes(131072, 3);
    files_.put(1, bytes.data(), bytes.size());
    files_.put(2, "abc", 3);
    files_.put(2, "de", 2);
    EXPECT_EQ(files_.seek(2), 6);
    EXPECT_EQ(files_.lof(2), 5);
    files_.close(2);
    EXPECT_EQ(readFile(dir_.path() / "teil.sys"), "abcde");
    files_.closeAll();
    EXPECT_EQ(readFile(dir_.path() / "a.sys"), bytes);
    EXPECT_FALSE(files_.isOpen(1));
    EXPECT_FALSE(files_.isOpen(2));
}

TEST_F(FilesTest, TextLinesEndInCrLfByteExact) {
    dir_.write("QUIL.EXE", "MZ");
    files_.open(1, "C:\\QUIL.EXE", rt::OpenMode::Append);
    for (const int64_t number : {123, -5, 0}) {
        files_.printLine(1, rt::numberText(number));
    }
    files_.printLine(1, "C:\\Daten\\");
    files_.printLine(1, "Bericht.doc");
    files_.printLine(1, "");
    files_.close(1);
    EXPECT_EQ(readFile(dir_.path() / "QUIL.EXE"), "MZ123\r\n-5\r\n0\r\nC:\\Daten\\\r\nBericht.doc\r\n\r\n");
}

// A failed open creates nothing and leaves its number free.
TEST_F(FilesTest, AFailedOpenLeavesTheNumberFree) {
    drives_.setDrive('A', [] { return std::optional<std::string>(); });
    const std::tuple<const char*, rt::OpenMode, int> cases[] = {
        {"A:\\QUILME01.sys", rt::OpenMode::BinaryWrite, 71},
        {"C:\\fehlt.bin", rt::OpenMode::BinaryRead, 53},
        {"C:\\fehlt\\x.bin", rt::OpenMode::BinaryWrite, 76},
    };
    for (const auto& [path, mode, error] : cases) {
        EXPECT_EQ(errorOf([&] { files_.open(1, path, mode); }), error) << path;
        EXPECT_FALSE(files_.isOpen(1)) << path;
        EXPECT_EQ(files_.freeFile(), 1) << path;
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "fehlt.bin"));
}

TEST_F(FilesTest, AFailingFlushIsReportedAndNeverRetriedIntoASuccess) {
    files_.open(1, "C:\\QUILME01.sys", rt::OpenMode::BinaryWrite);
    files_.put(1, "abc", 3);
    testing_support::InjectedFaults faults;
    faults.failFlushes(testing_support::deviceFailureCode());
    EXPECT_EQ(errorOf([&] { files_.close(1); }), 57);
    // Closed all the same: a second close cannot report the lost data as written.
    EXPECT_FALSE(files_.isOpen(1));
}

} // namespace
