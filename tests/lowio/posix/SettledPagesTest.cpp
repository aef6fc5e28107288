// A long file does not stay in the cache as it is written: what lies far enough behind its end
// reaches the medium and leaves the cache, and every byte still reads back as written, also
// where the writes jump back (a part placed at its own offset, before the last).
#include "lowio/Io.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

constexpr std::int64_t kMiB = 1024 * 1024;

// How many of the file's pages in [from, to) are in the cache.
std::int64_t residentPages(int fd, std::int64_t from, std::int64_t to) {
    void* map = ::mmap(nullptr, static_cast<std::size_t>(to - from), PROT_READ, MAP_SHARED, fd, from);
    if (map == MAP_FAILED) {
        return -1;
    }
    const long page = ::sysconf(_SC_PAGESIZE);
    std::vector<unsigned char> resident(static_cast<std::size_t>((to - from) / page));
    const int result = ::mincore(map, static_cast<std::size_t>(to - from), resident.data());
    ::munmap(map, static_cast<std::size_t>(to - from));
    std::int64_t count = 0;
    for (unsigned char flags : resident) {
        count += flags & 1;
    }
    return result == 0 ? count : -1;
}

TEST(SettledPages, LeaveTheCacheFarBehindTheEndAndReadBackAsWritten) {
    testing_support::TempDir dir;
    struct statfs where {};
    ASSERT_EQ(::statfs(dir.str().c_str(), &where), 0);
    if (where.f_type == TMPFS_MAGIC || where.f_type == RAMFS_MAGIC) {
        GTEST_SKIP() << "the temporary folder lies in memory, whose pages have no medium to go to";
    }
    const std::string path = dir.str() + "/long.bin";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    // 48 MiB from 64 MiB on, then 48 MiB from the start: the writeback starts over at the jump.
    const std::string chunk = testing_support::randomBytes(static_cast<std::size_t>(kMiB), 17);
    lowio::Writeback writeback;
    for (const std::int64_t start : {64 * kMiB, std::int64_t{0}}) {
        for (std::int64_t at = start; at < start + 48 * kMiB; at += kMiB) {
            ASSERT_EQ(::pwrite(fd, chunk.data(), chunk.size(), at), static_cast<ssize_t>(kMiB));
            writeback.wrote(fd, at, at + kMiB);
        }
    }
    EXPECT_EQ(writeback.takeError(), 0);
    // Behind each run's first 8 MiB nothing is left in the cache; a run left alone would stay there whole.
    EXPECT_EQ(residentPages(fd, 0, 8 * kMiB), 0);
    EXPECT_EQ(residentPages(fd, 64 * kMiB, 72 * kMiB), 0);
    for (const std::int64_t at : {std::int64_t{0}, 5 * kMiB, 47 * kMiB, 64 * kMiB, 111 * kMiB}) {
        std::string back(static_cast<std::size_t>(kMiB), '\0');
        ASSERT_EQ(::pread(fd, back.data(), back.size(), at), static_cast<ssize_t>(kMiB));
        EXPECT_TRUE(back == chunk) << "at " << at / kMiB << " MiB";
    }
    ::close(fd);
}

} // namespace
