// The host's file system behind the runtime, on real files: what the program relies on from it
// on every host. Each host's own names, attributes, links and devices are tested beside it.
#include "runtime/HostPlatform.h"
#include "runtime/RuntimeError.h"
#include "support/Outcomes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using testing_support::errorOf;
using testing_support::readFile;

class HostFileSystemTest : public ::testing::Test {
protected:
    std::string at(const fs::path& name) const { return (dir_.path() / name).string(); }

    testing_support::TempDir dir_;
    std::unique_ptr<rt::FileSystem> host_ = rt::makeHostFileSystem();
    rt::FileSystem& fs_ = *host_;
};

// A part is written from its first byte without cutting, QUIL.EXE's trailer appended, autorun.inf
// written anew; a source read is short only at its end, and a read moves the position.
TEST_F(HostFileSystemTest, EachModeOpensAsTheProgramExpects) {
    const struct {
        rt::OpenMode mode;
        const char* before; // nullptr: no file yet
        const char* written;
        const char* after;
    } cases[] = {
        {rt::OpenMode::BinaryWrite, nullptr, "neu", "neu"},
        {rt::OpenMode::BinaryWrite, "0123456789", "ab", "ab23456789"},
        {rt::OpenMode::Append, "MZ", "123\r\n", "MZ123\r\n"},
        {rt::OpenMode::Append, nullptr, "a", "a"},
        {rt::OpenMode::Output, "alter Inhalt", "neu", "neu"},
    };
    for (const auto& c : cases) {
        if (c.before != nullptr) {
            dir_.write("f.bin", c.before);
        }
        std::unique_ptr<rt::OpenFile> file = fs_.open(at("f.bin"), c.mode);
        file->write(c.written, std::char_traits<char>::length(c.written));
        file->close();
        EXPECT_EQ(readFile(at("f.bin")), c.after) << c.written;
        fs::remove(at("f.bin"));
    }
    dir_.write("quelle.bin", "0123456789");
    std::unique_ptr<rt::OpenFile> source = fs_.open(at("quelle.bin"), rt::OpenMode::BinaryRead);
    char buffer[8] = {};
    const std::tuple<int64_t, std::size_t, std::string> reads[] = {{2, 4, "2345"}, {7, 8, "789"}, {20, 8, ""}};
    for (const auto& [offset, size, bytes] : reads) {
        EXPECT_EQ(source->readAt(offset, buffer, size), bytes.size()) << offset;
        EXPECT_EQ(std::string(buffer, bytes.size()), bytes) << offset;
        EXPECT_EQ(source->position(), offset + static_cast<int64_t>(bytes.size())) << offset;
    }
    EXPECT_EQ(source->length(), 10);
    source->close();
    EXPECT_EQ(errorOf([&] { fs_.open(at("fehlt.bin"), rt::OpenMode::BinaryRead); }), 53);
    EXPECT_EQ(errorOf([&] { fs_.open(at(fs::path("fehlt") / "x.bin"), rt::OpenMode::BinaryWrite); }), 76);
    EXPECT_EQ(errorOf([&] { fs_.open(dir_.str(), rt::OpenMode::BinaryWrite); }), 75);
}

// The copy of QUIL.SYS replaces an older, longer QUIL.EXE; a copy that would cut its own source
// to nothing is refused, and a failed copy leaves nothing behind.
TEST_F(HostFileSystemTest, CopyReplacesTheTargetButNeverCopiesAFileOntoItself) {
    const std::string bytes = testing_support::randomBytes(200000, 7);
    dir_.write("QUIL.SYS", bytes);
    dir_.write("QUIL.EXE", std::string(300000, 'x'));
    fs_.copy(at("QUIL.SYS"), at("QUIL.EXE"));
    EXPECT_EQ(readFile(at("QUIL.EXE")), bytes);
    EXPECT_EQ(errorOf([&] { fs_.copy(at("QUIL.SYS"), at("QUIL.SYS")); }), 70);
    EXPECT_EQ(readFile(at("QUIL.SYS")), bytes);
    EXPECT_EQ(errorOf([&] { fs_.copy(at("fehlt.sys"), at("neu.exe")); }), 53);
    EXPECT_FALSE(fs::exists(at("neu.exe")));
    EXPECT_EQ(errorOf([&] { fs_.copy(at("QUIL.SYS"), at(fs::path("fehlt") / "QUIL.EXE")); }), 76);
}

// What the copy run compares to know its source unchanged and its target not the source.
TEST_F(HostFileSystemTest, LengthAndIdentityTellFilesApartAndSeeChanges) {
    dir_.write("a.bin", "eins");
    dir_.write("b.bin", "eins");
    const core::FileIdentity a = fs_.identity(at("a.bin"), rt::Follow::Link);
    EXPECT_EQ(fs_.identity(at("a.bin"), rt::Follow::Target), a);
    EXPECT_NE(fs_.identity(at("b.bin"), rt::Follow::Link).inode, a.inode);
    EXPECT_EQ(a.size, 4);
    std::unique_ptr<rt::OpenFile> file = fs_.open(at("a.bin"), rt::OpenMode::Append);
    EXPECT_EQ(file->identity(), a);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    file->write("zwei", 4);
    file->close();
    const core::FileIdentity changed = fs_.identity(at("a.bin"), rt::Follow::Link);
    EXPECT_EQ(changed.inode, a.inode);
    EXPECT_EQ(changed.size, 8);
    EXPECT_NE(changed.modifiedNs, a.modifiedNs);
    EXPECT_EQ(fs_.length(at("a.bin")), 8);
    EXPECT_EQ(errorOf([&] { fs_.length(at("fehlt")); }), 53);
    EXPECT_EQ(errorOf([&] { fs_.length(dir_.str()); }), 75);
}

} // namespace
