// The services on a real 1440 KiB medium (a tmpfs in a private mount namespace): a disk that
// runs full in the middle of a write, a write-protected disk, and a drive with no disk.
#include "runtime/DirSearch.h"
#include "runtime/DriveMap.h"
#include "runtime/Files.h"
#include "runtime/RuntimeError.h"
#include "runtime/posix/LinuxDrives.h"
#include "runtime/posix/PosixFileSystem.h"
#include "support/Outcomes.h"
#include "support/PrivateMount.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::errorOf;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::TmpfsMount;

class RealMediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        floppyDir_ = (dir_.path() / "floppy").string();
        fs::create_directories(floppyDir_);
        drives_.setDrive('A', rt::mountPointResolver(floppyDir_));
    }

    // Mounts the 1440 KiB medium or skips the test, saying why.
    bool insertDisk() {
        disk_ = TmpfsMount::mount(floppyDir_, 1440, whyNot_);
        return disk_.has_value();
    }

    TempDir dir_;
    std::string floppyDir_;
    std::string whyNot_;
    rt::DriveMap drives_;
    rt::PosixFileSystem fs_;
    rt::Files files_{fs_, drives_};
    std::optional<TmpfsMount> disk_;
};

TEST_F(RealMediaTest, AWriteThatOnlyPartlyFitsIsError61AndLeavesThePartAsItWas) {
    if (!insertDisk()) {
        GTEST_SKIP() << whyNot_;
    }
    const std::string firstChunk = testing_support::randomBytes(1310720, 1);
    files_.open(1, "A:\\QUILME01.sys", rt::OpenMode::BinaryWrite);
    files_.put(1, firstChunk.data(), firstChunk.size());

    // 1310720 of 1474560 bytes are taken; 131072 fit once more, the next 131072 only in part.
    const std::string chunk = testing_support::randomBytes(131072, 2);
    files_.put(1, chunk.data(), chunk.size());
    const std::string before = firstChunk + chunk;
    EXPECT_EQ(errorOf([&] { files_.put(1, chunk.data(), chunk.size()); }), 61);
    EXPECT_EQ(files_.lof(1), static_cast<int32_t>(before.size()));
    EXPECT_EQ(files_.seek(1), static_cast<int32_t>(before.size()) + 1);

    // The halved chunk, as the copy run retries it, goes in right where the refused one began.
    int written = 0;
    for (std::size_t size = chunk.size() / 2; size >= 512; size /= 2) {
        if (errorOf([&] { files_.put(1, chunk.data(), size); }) == 0) {
            written = static_cast<int>(size);
            break;
        }
    }
    ASSERT_GT(written, 0);
    files_.close(1);
    EXPECT_EQ(readFile(floppyDir_ + "/QUILME01.sys"), before + chunk.substr(0, static_cast<std::size_t>(written)));
}

TEST_F(RealMediaTest, AWriteProtectedDiskIsError70) {
    if (!insertDisk()) {
        GTEST_SKIP() << whyNot_;
    }
    files_.open(1, "A:\\alt.sys", rt::OpenMode::BinaryWrite);
    files_.put(1, "alt", 3);
    files_.close(1);
    std::string whyNot;
    ASSERT_TRUE(disk_->remountReadOnly(whyNot)) << whyNot;

    EXPECT_EQ(errorOf([&] { files_.open(2, "A:\\QUILME01.sys", rt::OpenMode::BinaryWrite); }), 70);
    EXPECT_EQ(errorOf([&] { files_.open(2, "A:\\alt.sys", rt::OpenMode::Append); }), 70);
    EXPECT_EQ(errorOf([&] { fs_.remove(floppyDir_ + "/alt.sys"); }), 70);
    EXPECT_EQ(errorOf([&] { fs_.setAttributes(floppyDir_ + "/alt.sys", rt::kAttrReadOnly); }), 70);
    // Reading still works: the reassembler and the search need it.
    rt::DirSearch search(fs_, drives_);
    EXPECT_EQ(search.first("A:\\*.*", rt::kSearchAll), "alt.sys");
}

TEST_F(RealMediaTest, AnEmptyDriveIsError71AndNothingLandsInTheBareFolder) {
    rt::DirSearch search(fs_, drives_);
    EXPECT_EQ(errorOf([&] { files_.open(1, "A:\\QUILME01.sys", rt::OpenMode::BinaryWrite); }), 71);
    EXPECT_EQ(errorOf([&] { search.first("A:\\*.*", rt::kSearchAll); }), 71);
    EXPECT_TRUE(fs::is_empty(floppyDir_));

    if (!insertDisk()) {
        GTEST_SKIP() << whyNot_;
    }
    files_.open(1, "A:\\QUILME01.sys", rt::OpenMode::BinaryWrite);
    files_.put(1, "teil", 4);
    files_.close(1);
    EXPECT_EQ(search.first("A:\\*.*"), "QUILME01.sys");

    std::string whyNot;
    ASSERT_TRUE(disk_->unmount(whyNot)) << whyNot;
    EXPECT_EQ(errorOf([&] { files_.open(1, "A:\\QUILME02.sys", rt::OpenMode::BinaryWrite); }), 71);
    EXPECT_TRUE(fs::is_empty(floppyDir_));
}

// A USB floppy drive as the desktop mounts it: the diskette under its label below the user's
// media folder, a stick beside it. The real mounts table and the real sizes decide.
TEST(RealUsbFloppyTest, ADisketteBelowTheUsersMediaFolderIsDriveA) {
    const std::string user = "splitwerk-test-" + std::to_string(::getpid());
    const fs::path media = fs::path("/media") / user;
    std::string whyNot;
    std::optional<TmpfsMount> diskette = TmpfsMount::mount((media / "DISK 1").string(), 1440, whyNot);
    std::optional<TmpfsMount> stick =
        diskette ? TmpfsMount::mount((media / "STICK").string(), 8192, whyNot) : std::nullopt;
    if (!diskette || !stick) {
        diskette.reset();
        fs::remove_all(media);
        GTEST_SKIP() << whyNot;
    }
    rt::LinuxMedia host = rt::LinuxMedia::ofThisProcess();
    host.user = user;
    const rt::DriveMap drives = rt::linuxDriveMap(host);
    EXPECT_EQ(drives.root('a'), (media / "DISK 1").string());
    EXPECT_EQ(drives.root('d'), (media / "STICK").string());
    EXPECT_TRUE(drives.hasDevice('a'));
    diskette.reset();
    stick.reset();
    fs::remove_all(media);
}

} // namespace
