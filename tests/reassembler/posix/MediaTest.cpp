// Which folders are media the user swaps, and where the restored file goes.
#include "reassembler/posix/Media.h"
#include "lowio/posix/MountTable.h"
#include "reassembler/Failure.h"
#include "reassembler/OutputFolder.h"
#include "reassembler/posix/ReassemblerHostPosix.h"

#include "runtime/DriveMap.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(MediaTest, ExchangeableMediaAreMountRootsAndRemovableMountPlaces) {
    const std::vector<lowio::MountEntry> mounts = {
        {"/dev/vda1", "/"},
        {"/dev/vda2", "/home"},
        {"tmpfs", "/tmp"},
        {"/dev/fd0", "/mnt/diskette"},
        {"/dev/sdb1", "/media/u/STICK"},
        {"/dev/sdc1", "/run/media/u/KARTE"},
        {"tmpfs", "/srv/floppy"},
        {"/dev/sdd1", "/srv/floppy"}, // mounted over the tmpfs: the later one counts
    };
    const std::pair<const char*, bool> cases[] = {
        {"/", false},
        {"/home/u/teile", false}, // a folder on a fixed disk
        {"/home", true},          // the root of a mounted file system
        {"/tmp/splitwerk-set", false},
        {"/mnt/diskette", true},
        {"/mnt/diskette/unterordner", true}, // anywhere on the floppy
        {"/media/u/STICK/Teile", true},
        {"/media/u/STICKER", false}, // not below /media/u/STICK, only on /
        {"/run/media/u/KARTE/a/b", true},
        {"/srv/floppy", true},
        {"/srv/floppy/x", false},
    };
    for (const auto& [folder, exchangeable] : cases) {
        EXPECT_EQ(quil::isExchangeableMedium(folder, mounts), exchangeable) << folder;
    }
}

TEST(MediaTest, SameFileSystem) {
    testing_support::TempDir dir;
    std::filesystem::create_directory(dir.path() / "a");
    EXPECT_TRUE(quil::sameFileSystem(dir.str(), dir.str() + "/a"));
    EXPECT_FALSE(quil::sameFileSystem(dir.str(), "/proc"));
    EXPECT_FALSE(quil::sameFileSystem(dir.str(), dir.str() + "/fehlt"));
}

class OutputFolderTest : public ::testing::Test {
protected:
    OutputFolderTest() {
        std::filesystem::create_directories(root_.path() / "home" / "u");
        std::filesystem::create_directories(root_.path() / "work");
        std::filesystem::create_directories(root_.path() / "ziel");
        root_.write("datei", "x");
        drives_.setFixedDrive('Z', root_.str());
        drives_.setDrive('A', []() -> std::optional<std::string> { return std::nullopt; }); // empty drive
    }
    std::string chosen(const std::optional<std::string>& argument) {
        return quil::chooseOutputFolder(argument, root_.str() + "/work");
    }

    testing_support::TempDir root_;
    rt::DriveMap drives_;
};

TEST_F(OutputFolderTest, TheSourceFolderIsProposedFromItsTextAlone) {
    // Whether the folder exists is not looked at before the user agrees to write there.
    const std::string root = root_.str();
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"Z:\\home\\u\\", root + "/home/u"},
        {"z:\\home\\u", root + "/home/u"},
        {"Z:\\", root},
        {"Z:\\home\\fehlt\\", root + "/home/fehlt"},
        {"C:\\DATEN\\", std::nullopt}, // a drive this machine does not have
        {"A:\\", std::nullopt},        // a drive with nothing in it
        {"home\\u\\", std::nullopt},   // no drive: never taken relative to anything
        {"\\\\wirt\\freigabe\\", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [trailerFolder, expected] : cases) {
        EXPECT_EQ(quil::proposedFolder(trailerFolder, drives_), expected) << trailerFolder;
    }
}

TEST_F(OutputFolderTest, AnArgumentWinsAndIsResolvedFromTheCurrentFolder) {
    const std::string root = std::filesystem::canonical(root_.path()).string();
    EXPECT_EQ(chosen(root + "/ziel"), root + "/ziel");
    EXPECT_EQ(chosen("../ziel"), root + "/ziel");
    EXPECT_EQ(chosen("."), root + "/work");
    std::filesystem::create_directory_symlink(root + "/ziel", root + "/verweis");
    EXPECT_EQ(chosen(root + "/verweis/"), root + "/ziel");

    for (const char* missing : {"../fehlt", "../datei", ""}) {
        try {
            chosen(std::string(missing));
            ADD_FAILURE() << missing << " was accepted";
        } catch (const quil::Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find("existiert nicht"), std::string::npos) << failure.what();
            EXPECT_NE(failure.status(), quil::kSuccess);
        }
    }
}

} // namespace
