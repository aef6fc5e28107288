// The POSIX backend: attributes, delete, copy, listing, open modes, and the all-or-nothing
// write that the copy run's halving of a refused chunk depends on.
#include "runtime/posix/PosixFileSystem.h"
#include "runtime/FileSystem.h"
#include "runtime/HostPlatform.h"
#include "runtime/RuntimeError.h"
#include "support/InjectedFaults.h"
#include "support/Outcomes.h"
#include "support/TempDir.h"
#include "support/TestRuntime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::TempDir;

using testing_support::errorOf;

class PosixFileSystemTest : public ::testing::Test {
protected:
    std::string at(const std::string& relative) const { return (dir_.path() / relative).string(); }
    void makeReadOnly(const std::string& relative) {
        fs::permissions(dir_.path() / relative,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }

    TempDir dir_;
    rt::PosixFileSystem fs_;
};

TEST_F(PosixFileSystemTest, Attributes) {
    dir_.write("normal.txt", "x");
    dir_.write(".hidden", "x");
    dir_.write("locked.txt", "x");
    makeReadOnly("locked.txt");
    fs::create_directory(dir_.path() / "folder");
    fs::create_directory(dir_.path() / ".folder");
    fs::create_symlink(dir_.path() / "normal.txt", dir_.path() / "link");

    const std::pair<const char*, int> cases[] = {
        {"normal.txt", rt::kAttrArchive},
        {".hidden", rt::kAttrArchive | rt::kAttrHidden},
        {"locked.txt", rt::kAttrArchive | rt::kAttrReadOnly},
        {"folder", rt::kAttrDirectory},
        {".folder", rt::kAttrDirectory | rt::kAttrHidden},
        {"link", rt::kAttrArchive},
        {"folder/", rt::kAttrDirectory},
    };
    for (const auto& [name, attributes] : cases) {
        EXPECT_EQ(fs_.attributes(at(name)), attributes) << name;
    }
    EXPECT_EQ(errorOf([&] { fs_.attributes(at("fehlt.txt")); }), 53);
    EXPECT_EQ(errorOf([&] { fs_.attributes(at("fehlt/x.txt")); }), 76);
}

TEST_F(PosixFileSystemTest, SetAttributesZeroMakesAReadOnlyFileWritableAndBitOneLocksIt) {
    dir_.write("teil.sys", "x");
    makeReadOnly("teil.sys");
    fs_.setAttributes(at("teil.sys"), rt::kAttrNormal);
    EXPECT_EQ(fs_.attributes(at("teil.sys")) & rt::kAttrReadOnly, 0);
    EXPECT_NE(fs::status(at("teil.sys")).permissions() & fs::perms::owner_write, fs::perms::none);

    fs_.setAttributes(at("teil.sys"), rt::kAttrReadOnly);
    EXPECT_EQ(fs_.attributes(at("teil.sys")) & rt::kAttrReadOnly, rt::kAttrReadOnly);
    const fs::perms anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    EXPECT_EQ(fs::status(at("teil.sys")).permissions() & anyWrite, fs::perms::none);
    EXPECT_EQ(errorOf([&] { fs_.setAttributes(at("fehlt.sys"), 0); }), 53);
}

// Both removals; the forced one takes a read-only name without changing the file's other names
// (the hostile table checks a hard link outside the target keeps its mode).
TEST_F(PosixFileSystemTest, RemoveDeletesFilesButNeverFolders) {
    fs::create_directory(dir_.path() / "folder");
    for (const auto remove : {&rt::PosixFileSystem::remove, &rt::PosixFileSystem::removeForced}) {
        dir_.write("teil.sys", "x");
        makeReadOnly("teil.sys");
        (fs_.*remove)(at("teil.sys"));
        EXPECT_FALSE(fs::exists(at("teil.sys")));
        EXPECT_EQ(errorOf([&] { (fs_.*remove)(at("folder")); }), 75);
        EXPECT_TRUE(fs::exists(at("folder")));
        EXPECT_EQ(errorOf([&] { (fs_.*remove)(at("teil.sys")); }), 53);
        EXPECT_EQ(errorOf([&] { (fs_.*remove)(at("fehlt/teil.sys")); }), 76);
    }
}

TEST_F(PosixFileSystemTest, CopyReplacesTheTargetKeepsItWritableAndNeverCopiesAFileOntoItself) {
    const std::string bytes = testing_support::randomBytes(200000, 7);
    dir_.write("QUIL.SYS", bytes);
    makeReadOnly("QUIL.SYS");
    dir_.write("QUIL.EXE", std::string(300000, 'x'));

    fs_.copy(at("QUIL.SYS"), at("QUIL.EXE"));
    EXPECT_EQ(readFile(at("QUIL.EXE")), bytes);
    // The trailer is appended to the copy right after, so it must not inherit read-only.
    EXPECT_EQ(fs_.attributes(at("QUIL.EXE")) & rt::kAttrReadOnly, 0);

    EXPECT_EQ(errorOf([&] { fs_.copy(at("fehlt.sys"), at("x")); }), 53);
    EXPECT_FALSE(fs::exists(at("x")));
    EXPECT_EQ(errorOf([&] { fs_.copy(at("QUIL.SYS"), at("fehlt/QUIL.EXE")); }), 76);
    // Onto itself: refused, the file left as it was.
    EXPECT_EQ(errorOf([&] { fs_.copy(at("QUIL.EXE"), at("QUIL.EXE")); }), 70);
    EXPECT_EQ(readFile(at("QUIL.EXE")), bytes);
}

TEST_F(PosixFileSystemTest, LengthAndIdentity) {
    dir_.write("a.bin", std::string(1234, 'a'));
    EXPECT_EQ(fs_.length(at("a.bin")), 1234);
    EXPECT_EQ(errorOf([&] { fs_.length(at("fehlt")); }), 53);

    dir_.write("b.bin", std::string(1234, 'a'));
    // A new name changes the file's change time, so the second name comes first.
    fs::create_hard_link(at("a.bin"), at("same.bin"));
    const FileIdentity a = fs_.identity(at("a.bin"), rt::Follow::Link);
    EXPECT_EQ(a, fs_.identity(at("a.bin"), rt::Follow::Link));
    EXPECT_NE(a, fs_.identity(at("b.bin"), rt::Follow::Link));
    EXPECT_EQ(a.size, 1234);
    EXPECT_EQ(a, fs_.identity(at("same.bin"), rt::Follow::Link));
}

TEST_F(PosixFileSystemTest, ListGivesEveryEntryButFoldersAndNeverFollowsALink) {
    dir_.write("a.txt", "a");
    dir_.write(".h", "h");
    fs::create_directory(dir_.path() / "folder");
    fs::create_symlink(dir_.path() / "a.txt", dir_.path() / "to-file");
    fs::create_directory_symlink(dir_.path() / "folder", dir_.path() / "to-folder");
    fs::create_symlink(dir_.path() / "fehlt", dir_.path() / "dangling");
    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);

    std::vector<rt::DirEntry> entries = fs_.list(dir_.str(), "*");
    std::sort(entries.begin(), entries.end(), [](const auto& x, const auto& y) { return x.name < y.name; });
    const std::vector<std::tuple<std::string, int, rt::FileKind>> expected = {
        {".h", rt::kAttrArchive | rt::kAttrHidden, rt::FileKind::Regular},
        {"a.txt", rt::kAttrArchive, rt::FileKind::Regular},
        {"dangling", 0, rt::FileKind::Link},
        {"pipe", 0, rt::FileKind::Other},
        {"to-file", 0, rt::FileKind::Link},
        {"to-folder", 0, rt::FileKind::Link},
    };
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(std::tuple(entries[i].name, entries[i].attributes, entries[i].kind), expected[i]);
    }
    EXPECT_EQ(errorOf([&] { fs_.list(at("fehlt"), "*"); }), 76);
}

TEST_F(PosixFileSystemTest, OpenModes) {
    dir_.write("w.bin", "0123456789");
    auto write = fs_.open(at("w.bin"), rt::OpenMode::BinaryWrite);
    EXPECT_EQ(write->position(), 0);
    write->write("ab", 2);
    write->close();
    EXPECT_EQ(readFile(at("w.bin")), "ab23456789"); // not truncated
    // A name held by a link is never written through, in any mode.
    fs::create_symlink(at("w.bin"), at("link.bin"));
    for (const rt::OpenMode mode : {rt::OpenMode::BinaryWrite, rt::OpenMode::Append, rt::OpenMode::Output}) {
        EXPECT_EQ(errorOf([&] { fs_.open(at("link.bin"), mode); }), 75);
    }
    EXPECT_EQ(readFile(at("w.bin")), "ab23456789");

    dir_.write("o.txt", "old contents");
    auto output = fs_.open(at("o.txt"), rt::OpenMode::Output);
    output->write("neu", 3);
    output->close();
    EXPECT_EQ(readFile(at("o.txt")), "neu");

    dir_.write("a.txt", "eins");
    auto append = fs_.open(at("a.txt"), rt::OpenMode::Append);
    append->write("zwei", 4);
    EXPECT_EQ(append->length(), 8);
    append->close();
    EXPECT_EQ(readFile(at("a.txt")), "einszwei");

    auto created = fs_.open(at("neu.bin"), rt::OpenMode::BinaryWrite);
    created->close();
    EXPECT_TRUE(fs::exists(at("neu.bin")));

    EXPECT_EQ(errorOf([&] { fs_.open(at("fehlt.bin"), rt::OpenMode::BinaryRead); }), 53);
    EXPECT_EQ(errorOf([&] { fs_.open(at("fehlt/x.bin"), rt::OpenMode::BinaryWrite); }), 76);
    fs::create_directory(dir_.path() / "folder");
    EXPECT_EQ(errorOf([&] { fs_.open(at("folder"), rt::OpenMode::BinaryRead); }), 75);
    EXPECT_EQ(errorOf([&] { fs_.open(at("folder"), rt::OpenMode::BinaryWrite); }), 75);
}

TEST_F(PosixFileSystemTest, ReadAtIsShortAtTheEndAndMovesThePosition) {
    dir_.write("r.bin", "0123456789");
    auto file = fs_.open(at("r.bin"), rt::OpenMode::BinaryRead);
    char buffer[8] = {};
    EXPECT_EQ(file->readAt(2, buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "2345");
    EXPECT_EQ(file->position(), 6);
    EXPECT_EQ(file->readAt(7, buffer, 8), 3u);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(file->position(), 10);
    EXPECT_EQ(file->readAt(20, buffer, 8), 0u);
    file->close();
}

// A file-size limit makes the kernel take part of a write and then refuse the rest with
// EFBIG: the same short-count-then-error pattern as a disk that runs full, without root. It is
// error 60, the file that can grow no further, exactly as FAT's 4 GiB limit is.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool ok_ = false;
};

// The runtime's error number for a write made under a file-size limit; -1 when no limit can be set.
int errorUnderSizeLimit(rlim_t bytes, const std::function<void()>& write) {
    const FileSizeLimit limit(bytes);
    return limit.ok() ? errorOf(write) : -1;
}

TEST_F(PosixFileSystemTest, AWriteThatOnlyPartlyFitsLeavesTheFileAsItWas) {
    struct Case {
        const char* name;
        rt::OpenMode mode;
        std::size_t existing;
        std::size_t size;
    };
    const Case cases[] = {
        {"append to a part", rt::OpenMode::Append, 1000, 8192},
        {"overwrite from the start", rt::OpenMode::BinaryWrite, 3000, 8192},
        {"new file", rt::OpenMode::Output, 0, 8192},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = testing_support::randomBytes(c.existing, 1);
        dir_.write("part.sys", before);
        auto file = fs_.open(at("part.sys"), c.mode);
        const std::string chunk = testing_support::randomBytes(c.size, 2);
        EXPECT_EQ(errorUnderSizeLimit(4096, [&] { file->write(chunk.data(), chunk.size()); }), 60);
        const std::string expected = c.mode == rt::OpenMode::Output ? std::string() : before;
        EXPECT_EQ(file->length(), static_cast<int64_t>(expected.size()));
        EXPECT_EQ(readFile(at("part.sys")), expected);
        // The next, smaller write lands where the refused one would have begun.
        const int64_t position = c.mode == rt::OpenMode::Append ? static_cast<int64_t>(c.existing) : 0;
        EXPECT_EQ(file->position(), position);
        file->write("xy", 2);
        file->close();
        std::string after = expected;
        after.replace(static_cast<std::size_t>(position), std::min<std::size_t>(2, after.size()), "xy");
        EXPECT_EQ(readFile(at("part.sys")), after);
    }
}

// A program prepared as it starts meets its size limit as error 60 and lives on to answer it;
// unprepared, SIGXFSZ would end it. In a child process, which keeps the signal and the limit.
TEST_F(PosixFileSystemTest, APreparedProcessMeetsItsSizeLimitAsError60) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL); // as a program starts
        rt::prepareProcess();
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4096;
        const auto file = fs_.open(at("part.sys"), rt::OpenMode::BinaryWrite);
        const std::string chunk(8192, 'x');
        ::_exit(::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? errorOf([&] { file->write(chunk.data(), chunk.size()); })
                                                       : 99);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), rt::kFileTooLarge);
}

TEST_F(PosixFileSystemTest, ACloseAfterARefusedWriteStillFlushesWhatWentBefore) {
    auto file = fs_.open(at("part.sys"), rt::OpenMode::BinaryWrite);
    file->write("abc", 3);
    EXPECT_EQ(errorUnderSizeLimit(3, [&] { file->write("d", 1); }), 60);
    testing_support::InjectedFaults faults;
    faults.failFlushes(EIO);
    EXPECT_EQ(errorOf([&] { file->close(); }), 57);
}

// Whole pages go to the medium while the file is still being written; a write refused after
// that must still leave the file as it was, and the bytes on the medium must be the ones written.
TEST_F(PosixFileSystemTest, ARefusedWriteAfterWritebackHasStartedLeavesTheFileAsItWas) {
    auto file = fs_.open(at("part.sys"), rt::OpenMode::BinaryWrite);
    // Three megabytes and an uneven tail, so that writeback has started and a partial page waits.
    const std::string start = testing_support::randomBytes(3 * 1024 * 1024 + 1000, 1);
    for (std::size_t offset = 0; offset < start.size(); offset += 131072) {
        file->write(start.data() + offset, std::min<std::size_t>(131072, start.size() - offset));
    }
    const std::string chunk = testing_support::randomBytes(131072, 2);
    EXPECT_EQ(errorUnderSizeLimit(start.size() + 5000, [&] { file->write(chunk.data(), chunk.size()); }), 60);
    EXPECT_EQ(file->length(), static_cast<int64_t>(start.size()));
    file->write(chunk.data(), 4096);
    file->close();
    EXPECT_EQ(readFile(at("part.sys")), start + chunk.substr(0, 4096));
}

TEST(RealFolderTest, EveryLinkIsResolvedAndTheFolderNamedByItsOwnDrive) {
    TempDir c;
    TempDir a;
    fs::create_directories(c.path() / "ziel" / "unten");
    fs::create_directories(c.path() / "a\\b");
    fs::create_directory_symlink(c.path() / "ziel", c.path() / "verweis");
    fs::create_directory_symlink(a.path(), c.path() / "diskette");
    fs::create_directory_symlink(c.path() / "a\\b", c.path() / "schraeg");
    rt::DriveMap drives;
    drives.setFixedDrive('C', c.str());
    drives.setFixedDrive('A', a.str());
    testing_support::TestRuntime test(std::move(drives), {});
    const std::pair<const char*, std::string> cases[] = {
        {"C:\\ziel\\", "C:\\ziel\\"}, {"C:\\verweis\\unten\\", "C:\\ziel\\unten\\"},
        {"C:\\diskette\\", "A:\\"},   {"C:\\fehlt\\", "76"},
        {"C:\\schraeg\\", "76"}, // its real name holds a backslash: no drive-letter form names it
    };
    for (const auto& [folder, outcome] : cases) {
        std::string real;
        const int error = errorOf([&] { real = test.runtime().realFolder(folder); });
        EXPECT_EQ(error != 0 ? std::to_string(error) : real, outcome) << folder;
    }
}

} // namespace
