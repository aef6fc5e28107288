// The Windows file system behind the runtime, on real files: Windows' own names, attributes,
// devices and long paths (what every host's must do is in HostFileSystemTest).
#include "lowio/Io.h"
#include "runtime/HostPlatform.h"
#include "runtime/RuntimeError.h"
#include "runtime/win32/Win32LongPath.h"
#include "support/InjectedFaults.h"
#include "support/Outcomes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using testing_support::errorOf;
using testing_support::readFile;

class Win32FileSystemTest : public ::testing::Test {
protected:
    std::string at(const std::string& name) const { return (dir_.path() / name).string(); }
    std::string read(const std::string& name) const { return readFile(dir_.path() / name); }
    std::vector<std::string> listed(const std::string& pattern) {
        std::vector<std::string> names;
        for (const rt::DirEntry& entry : fs_.list(dir_.str(), pattern)) {
            names.push_back(entry.name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    testing_support::TempDir dir_;
    std::unique_ptr<rt::FileSystem> host_ = rt::makeHostFileSystem();
    rt::FileSystem& fs_ = *host_;
};

TEST_F(Win32FileSystemTest, ADeviceIsNeverReadOrWritten) {
    dir_.write("ziel.bin", "bleibt");
    for (const std::string& device : {std::string("NUL"), at("NUL"), at("con.txt"), std::string("\\\\.\\NUL")}) {
        EXPECT_EQ(errorOf([&] { fs_.open(device, rt::OpenMode::BinaryRead); }), 75) << device;
        EXPECT_EQ(errorOf([&] { fs_.open(device, rt::OpenMode::BinaryWrite); }), 75) << device;
        EXPECT_EQ(errorOf([&] { fs_.copy(device, at("ziel.bin")); }), 75) << device;
        EXPECT_EQ(fs_.describe(device).kind, rt::FileKind::Other) << device;
        EXPECT_EQ(fs_.attributes(device) & rt::kAttrDirectory, 0) << device;
    }
    EXPECT_EQ(read("ziel.bin"), "bleibt");
}

TEST_F(Win32FileSystemTest, TheListingMatchesAsWindowsDoesAndNamesAsStored) {
    for (const char* name : {"QUILME01.sys", "quilme02.SYS", "Bericht.doc", "QUIL.EXE", "autorun.inf"}) {
        dir_.write(name, "x");
    }
    fs::create_directory(dir_.path() / "Ordner.sys");
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"*.*", {"Bericht.doc", "QUIL.EXE", "QUILME01.sys", "autorun.inf", "quilme02.SYS"}},
        {"*", {"Bericht.doc", "QUIL.EXE", "QUILME01.sys", "autorun.inf", "quilme02.SYS"}},
        {"", {"Bericht.doc", "QUIL.EXE", "QUILME01.sys", "autorun.inf", "quilme02.SYS"}},
        {"*.sys", {"QUILME01.sys", "quilme02.SYS"}},
        {"quilme??.sys", {"QUILME01.sys", "quilme02.SYS"}},
        {"QUILME01.SYS", {"QUILME01.sys"}},
        {"quil.exe", {"QUIL.EXE"}},
        {"*.zip", {}},
    };
    for (const auto& [pattern, names] : cases) {
        EXPECT_EQ(listed(pattern), names) << pattern;
    }
    EXPECT_EQ(errorOf([&] { fs_.list(at("fehlt"), "*.*"); }), 76);
}

TEST_F(Win32FileSystemTest, DescribeGivesTheNameAsStored) {
    dir_.write("Bericht.DOC", "x");
    const rt::DirEntry file = fs_.describe(at("bericht.doc"));
    EXPECT_EQ(file.name, "Bericht.DOC");
    EXPECT_EQ(file.kind, rt::FileKind::Regular);
    const rt::DirEntry folder = fs_.describe(dir_.str());
    EXPECT_EQ(folder.kind, rt::FileKind::Directory);
    EXPECT_NE(folder.attributes & rt::kAttrDirectory, 0);
    EXPECT_EQ(fs_.describe("C:\\").kind, rt::FileKind::Directory);
    EXPECT_EQ(errorOf([&] { fs_.describe(at("fehlt.doc")); }), 53);
    EXPECT_EQ(errorOf([&] { fs_.describe(at("fehlt\\a.doc")); }), 76);
}

TEST_F(Win32FileSystemTest, ANameEndingInADotOrABlankIsThatFileNeverItsTwin) {
    // Windows' plain path rules drop such a dot or blank: "twin.bin " would reach "twin.bin". Each
    // file is made here in the long form, holding its own name.
    const std::pair<std::string, std::string> cases[] = {{"twin.bin ", "twin.bin"},
                                                         {"dot.", "dot"},
                                                         {"Ordner.\\a.bin", "Ordner\\a.bin"},
                                                         {"Ordner \\b.bin", "Ordner\\b.bin"}};
    const auto exactly = [&](const std::string& name) { return L"\\\\?\\" + rt::win32::widen(at(name)); };
    for (const char* folder : {"Ordner", "Ordner.", "Ordner "}) {
        ASSERT_TRUE(::CreateDirectoryW(exactly(folder).c_str(), nullptr)) << folder;
    }
    for (const auto& [exact, twin] : cases) {
        for (const std::string& name : {twin, exact}) {
            const lowio::Handle file(
                ::CreateFileW(exactly(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
            DWORD written = 0;
            ASSERT_TRUE(::WriteFile(file.get(), name.data(), static_cast<DWORD>(name.size()), &written, nullptr))
                << name;
        }
        for (const std::string& name : {twin, exact}) {
            EXPECT_EQ(fs_.length(at(name)), static_cast<int64_t>(name.size())) << name;
            EXPECT_EQ(fs_.describe(at(name)).name, name.substr(name.find_last_of('\\') + 1)) << name;
            char bytes[16] = {};
            EXPECT_EQ(fs_.open(at(name), rt::OpenMode::BinaryRead)->readAt(0, bytes, sizeof bytes), name.size());
            EXPECT_EQ(std::string(bytes, name.size()), name);
        }
        EXPECT_NE(fs_.identity(at(exact), rt::Follow::Link).inode, fs_.identity(at(twin), rt::Follow::Link).inode);
        fs_.remove(at(exact));
        EXPECT_EQ(errorOf([&] { fs_.length(at(exact)); }), 53) << exact;
        EXPECT_EQ(fs_.length(at(twin)), static_cast<int64_t>(twin.size())) << twin;
    }
    for (const char* folder : {"Ordner.", "Ordner "}) {
        EXPECT_TRUE(::RemoveDirectoryW(exactly(folder).c_str())) << folder;
    }
}

TEST_F(Win32FileSystemTest, AttributesAreWindowsOwnBits) {
    dir_.write("a.txt", "x");
    const std::pair<int, int> cases[] = {
        {rt::kAttrNormal, 0},
        {rt::kAttrReadOnly, rt::kAttrReadOnly},
        {rt::kAttrHidden | rt::kAttrArchive, rt::kAttrHidden | rt::kAttrArchive},
        {rt::kAttrSystem, rt::kAttrSystem},
        {rt::kAttrReadOnly | rt::kAttrDirectory, rt::kAttrReadOnly}, // the folder bit cannot be set
        {rt::kAttrArchive, rt::kAttrArchive},
    };
    for (const auto& [set, got] : cases) {
        fs_.setAttributes(at("a.txt"), set);
        const int attributes = fs_.attributes(at("a.txt"));
        // Wine marks every file for archiving, as the POSIX backend does; Windows keeps what was set.
        const int archive = (got & rt::kAttrArchive) != 0 ? rt::kAttrArchive : attributes & rt::kAttrArchive;
        EXPECT_EQ(attributes, got | archive) << set;
    }
    EXPECT_EQ(fs_.attributes(dir_.str()) & rt::kAttrDirectory, rt::kAttrDirectory);
    EXPECT_EQ(errorOf([&] { fs_.setAttributes(at("fehlt.txt"), 0); }), 53);
}

TEST_F(Win32FileSystemTest, AReadOnlyFileIsNeitherWrittenNorRemoved) {
    // Windows refuses both; Wine lets root open the file for writing, which must not matter.
    dir_.write("QUIL.EXE", "alt");
    fs_.setAttributes(at("QUIL.EXE"), rt::kAttrReadOnly);
    for (const rt::OpenMode mode : {rt::OpenMode::BinaryWrite, rt::OpenMode::Append, rt::OpenMode::Output}) {
        EXPECT_EQ(errorOf([&] { fs_.open(at("QUIL.EXE"), mode); }), 70);
    }
    EXPECT_EQ(errorOf([&] { fs_.open(at("QUIL.EXE"), rt::OpenMode::BinaryRead)->write("x", 1); }), 70);
    dir_.write("QUIL.SYS", "neu");
    EXPECT_EQ(errorOf([&] { fs_.copy(at("QUIL.SYS"), at("QUIL.EXE")); }), 70);
    EXPECT_EQ(errorOf([&] { fs_.remove(at("QUIL.EXE")); }), 70);
    EXPECT_EQ(read("QUIL.EXE"), "alt");
    fs_.setAttributes(at("QUIL.EXE"), rt::kAttrNormal);
    fs_.remove(at("QUIL.EXE"));
    EXPECT_FALSE(fs::exists(dir_.path() / "QUIL.EXE"));
    EXPECT_EQ(errorOf([&] { fs_.remove(at("QUIL.EXE")); }), 53);
    EXPECT_EQ(errorOf([&] { fs_.remove(dir_.str()); }), 75) << "never a folder";
}

// Another spelling of a name is the same file: its identity, and no copy onto it.
TEST_F(Win32FileSystemTest, AnotherSpellingOfANameIsTheSameFile) {
    dir_.write("QUIL.SYS", "reassembler");
    EXPECT_EQ(fs_.identity(at("quil.sys"), rt::Follow::Target), fs_.identity(at("QUIL.SYS"), rt::Follow::Link));
    EXPECT_EQ(errorOf([&] { fs_.copy(at("QUIL.SYS"), at("quil.sys")); }), 70);
    EXPECT_EQ(read("QUIL.SYS"), "reassembler");
}

TEST_F(Win32FileSystemTest, AFailingFlushIsReportedOnceAndClosesTheFile) {
    testing_support::InjectedFaults faults;
    std::unique_ptr<rt::OpenFile> file = fs_.open(at("QUILME01.sys"), rt::OpenMode::BinaryWrite);
    file->write("teil", 4);
    faults.failFlushes(ERROR_WRITE_FAULT);
    EXPECT_EQ(errorOf([&] { file->close(); }), 57);
    // Closed: nothing is left to flush, so no later close can pass for the lost flush. Only a
    // file no handle holds opens without sharing.
    const HANDLE alone = ::CreateFileW(rt::win32::longPath(at("QUILME01.sys")).c_str(), GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(alone, INVALID_HANDLE_VALUE);
    ::CloseHandle(alone);
}

TEST_F(Win32FileSystemTest, PathsLongerThan260CharactersWork) {
    std::string folder = dir_.str();
    while (folder.size() < 300) {
        folder += "\\" + std::string(40, 'o') + std::to_string(folder.size());
        ASSERT_TRUE(::CreateDirectoryW(rt::win32::longPath(folder).c_str(), nullptr)) << ::GetLastError();
    }
    const std::string file = folder + "\\QUILME01.sys";
    ASSERT_GT(file.size(), 260u);
    std::unique_ptr<rt::OpenFile> out = fs_.open(file, rt::OpenMode::BinaryWrite);
    out->write("lang", 4);
    out->close();
    EXPECT_EQ(fs_.length(file), 4);
    EXPECT_EQ(fs_.describe(file).name, "QUILME01.sys");
    EXPECT_EQ(fs_.list(folder, "*.sys").size(), 1u);
    fs_.copy(file, folder + "\\QUIL.EXE");
    EXPECT_EQ(fs_.identity(folder + "\\QUIL.EXE", rt::Follow::Link).size, 4);

    fs_.remove(file);
    EXPECT_EQ(errorOf([&] { fs_.length(file); }), 53);
}

} // namespace
