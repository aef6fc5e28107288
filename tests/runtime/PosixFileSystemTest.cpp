// The POSIX backend: attributes, delete, links, listing, and the all-or-nothing write that the
// copy run's halving of a refused chunk depends on (what every host's must do is in
// HostFileSystemTest).
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

// The trailer is appended to the copy right after, so it must not inherit a source's read-only.
TEST_F(PosixFileSystemTest, ACopyOfAReadOnlyFileIsWritableAndAHardLinkTheSameFile) {
    dir_.write("QUIL.SYS", "reassembler");
    makeReadOnly("QUIL.SYS");
    fs_.copy(at("QUIL.SYS"), at("QUIL.EXE"));
    EXPECT_EQ(fs_.attributes(at("QUIL.EXE")) & rt::kAttrReadOnly, 0);
    // A new name changes the file's change time, so the second name comes first.
    fs::create_hard_link(at("QUIL.EXE"), at("same.exe"));
    EXPECT_EQ(fs_.identity(at("QUIL.EXE"), rt::Follow::Link), fs_.identity(at("same.exe"), rt::Follow::Link));
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

// A name held by a link is never written through, in any mode; a folder is never opened.
TEST_F(PosixFileSystemTest, NeitherALinkNorAFolderIsOpened) {
    dir_.write("w.bin", "0123456789");
    fs::create_symlink(at("w.bin"), at("link.bin"));
    for (const rt::OpenMode mode : {rt::OpenMode::BinaryWrite, rt::OpenMode::Append, rt::OpenMode::Output}) {
        EXPECT_EQ(errorOf([&] { fs_.open(at("link.bin"), mode); }), 75);
    }
    EXPECT_EQ(readFile(at("w.bin")), "0123456789");
    EXPECT_EQ(errorOf([&] { fs_.open(dir_.str(), rt::OpenMode::BinaryRead); }), 75);
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
