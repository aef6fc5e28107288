// The low-level I/O layer on the host it was built for: full writes and reads, copying, cutting
// back, and a failed early writeback.
#include "lowio/Io.h"
#include "OpenForTest.h"
#include "support/InjectedFaults.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using lowio_tests::Access;
using lowio_tests::openForTest;

class IoTest : public ::testing::Test {
protected:
    std::string at(const char* name) const { return (dir_.path() / name).string(); }

    testing_support::TempDir dir_;
};

TEST_F(IoTest, WritesReadsCopiesAndCutsBack) {
    const std::string data = testing_support::randomBytes(300000, 7);
    {
        lowio::Handle out = openForTest(at("a.bin"), Access::Write);
        ASSERT_TRUE(out.valid());
        std::size_t written = 0;
        EXPECT_EQ(lowio::writeAll(out.get(), data.data(), data.size(), written), 0);
        EXPECT_EQ(written, data.size());
        EXPECT_EQ(lowio::flush(out.get()), 0);
        EXPECT_EQ(out.close(), 0);
    }
    lowio::Handle in = openForTest(at("a.bin"), Access::Read);
    // Positioned reads fill their buffer, and give a short count only at the end.
    const std::pair<std::int64_t, std::size_t> reads[] = {{0, 1000}, {123456, 70000}, {299990, 10}, {299990, 50}};
    for (const auto& [offset, size] : reads) {
        std::string buffer(size, '?');
        std::size_t done = 0;
        EXPECT_EQ(lowio::readAt(in.get(), offset, buffer.data(), size, done), 0);
        const std::size_t expected = std::min<std::size_t>(size, data.size() - static_cast<std::size_t>(offset));
        EXPECT_EQ(done, expected) << offset;
        EXPECT_EQ(buffer.substr(0, done), data.substr(static_cast<std::size_t>(offset), done)) << offset;
    }
    {
        lowio::Handle copy = openForTest(at("b.bin"), Access::ReadWrite);
        EXPECT_EQ(lowio::copyAll(in.get(), copy.get()), 0);
        EXPECT_EQ(lowio::truncate(copy.get(), 1000), 0);
    }
    EXPECT_EQ(fs::file_size(at("b.bin")), 1000U);
}

TEST_F(IoTest, AFailedWritebackIsReportedOnce) {
    lowio::Handle out = openForTest(at("c.bin"), Access::Write);
    const std::string megabyte(1024 * 1024 + 4096, 'x');
    std::size_t written = 0;
    ASSERT_EQ(lowio::writeAll(out.get(), megabyte.data(), megabyte.size(), written), 0);

    testing_support::InjectedFaults faults;
    faults.failWritebacks(5);
    lowio::Writeback writeback;
    writeback.wrote(out.get(), 0, static_cast<std::int64_t>(megabyte.size()));
    EXPECT_EQ(writeback.takeError(), 5);
    EXPECT_EQ(writeback.takeError(), 0) << "reported once";
}

} // namespace
