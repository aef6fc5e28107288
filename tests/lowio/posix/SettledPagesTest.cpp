// A long file does not stay in the cache as it is written: what lies far enough behind the end
// reaches the medium and leaves the cache, also where the writes jump back (a part placed at its
// own offset), and it all reads back as written.
#include "lowio/Io.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kMiB = 1024 * 1024;

bool anyPageCached(int fd, std::int64_t from, std::int64_t length) {
    void* map = ::mmap(nullptr, static_cast<std::size_t>(length), PROT_READ, MAP_SHARED, fd, from);
    std::string cached(static_cast<std::size_t>(length / ::sysconf(_SC_PAGESIZE)), '\0');
    const bool told = map != MAP_FAILED && ::mincore(map, static_cast<std::size_t>(length),
                                                     reinterpret_cast<unsigned char*>(cached.data())) == 0;
    ::munmap(map, static_cast<std::size_t>(length));
    return !told || std::any_of(cached.begin(), cached.end(), [](char page) { return (page & 1) != 0; });
}

TEST(SettledPages, LeaveTheCacheFarBehindTheEndAndReadBackAsWritten) {
    testing_support::TempDir dir;
    struct statfs where {};
    ASSERT_EQ(::statfs(dir.str().c_str(), &where), 0);
    if (where.f_type == TMPFS_MAGIC || where.f_type == RAMFS_MAGIC) {
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
    }
    EXPECT_EQ(writeback.takeError(), 0);
    EXPECT_FALSE(anyPageCached(fd, 0, 8 * kMiB));
    EXPECT_FALSE(anyPageCached(fd, 64 * kMiB, 8 * kMiB));
    std::string back(chunk.size(), '\0');
    for (const std::int64_t at : {std::int64_t{0}, 47 * kMiB, 64 * kMiB, 111 * kMiB}) {
        ASSERT_EQ(::pread(fd, back.data(), back.size(), at), static_cast<ssize_t>(kMiB));
        EXPECT_TRUE(back == chunk) << "at " << at / kMiB << " MiB";
    }
    ::close(fd);
}

} // namespace
