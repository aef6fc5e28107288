// What lies far behind the written end leaves the cache, also after a jump back (a part placed
// at its own offset), and still reads back as written.
#include "lowio/Io.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/vfs.h>
#include <unistd.h>

TEST(SettledPages, LeaveTheCacheFarBehindTheEnd) {
    constexpr std::int64_t kMiB = 1024 * 1024;
    testing_support::TempDir dir;
    struct statfs where {};
    if (::statfs(dir.str().c_str(), &where) == 0 && (where.f_type == TMPFS_MAGIC || where.f_type == RAMFS_MAGIC)) {
        GTEST_SKIP() << "the temporary folder lies in memory, whose pages have no medium to go to";
    }
    const int fd = ::open((dir.str() + "/long.bin").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    const std::string chunk = testing_support::randomBytes(static_cast<std::size_t>(kMiB), 17);
    lowio::Writeback writeback;
    for (const std::int64_t start : {64 * kMiB, std::int64_t{0}}) { // 48 MiB each
        for (std::int64_t at = start; at < start + 48 * kMiB; at += kMiB) {
            ASSERT_EQ(::pwrite(fd, chunk.data(), chunk.size(), at), static_cast<ssize_t>(kMiB));
            writeback.wrote(fd, at, at + kMiB);
        }
        unsigned char cached[256] = {}; // the run's first MiB, page by page
        void* map = ::mmap(nullptr, kMiB, PROT_READ, MAP_SHARED, fd, start);
        ASSERT_EQ(::mincore(map, kMiB, cached), 0);
        EXPECT_EQ(std::count_if(cached, cached + 256, [](unsigned char page) { return (page & 1) != 0; }), 0);
        EXPECT_EQ(std::string(static_cast<const char*>(map), kMiB), chunk);
        ::munmap(map, kMiB);
    }
    ::close(fd);
}
