// Translation between drive-letter paths and host paths, both ways, and the mounts table
// behind the Linux drives.
#include "runtime/DriveMap.h"
#include "lowio/posix/MountTable.h"
#include "runtime/RuntimeError.h"
#include "runtime/posix/LinuxDrives.h"
#include "support/Outcomes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

namespace {

using testing_support::errorOf;
using testing_support::TempDir;

rt::DriveMap testMap() {
    rt::DriveMap map;
    map.setFixedDrive('A', "/tmp/floppy");
    map.setFixedDrive('c', "/home/u/");
    map.setFixedDrive('D', "/home/u/stick");
    map.setFixedDrive('Z', "/");
    return map;
}

TEST(DriveMapTest, ToNativeTranslatesDriveLetterPaths) {
    rt::DriveMap map = testMap();
    const std::pair<const char*, const char*> cases[] = {
        {"A:\\QUILME01.sys", "/tmp/floppy/QUILME01.sys"},
        {"a:\\Teil\\x.sys", "/tmp/floppy/Teil/x.sys"},
        {"A:", "/tmp/floppy"},
        {"A:\\", "/tmp/floppy"},
        {"C:\\Daten\\Bericht.doc", "/home/u/Daten/Bericht.doc"},
        {"C:\\", "/home/u"},
        {"Z:\\", "/"},
        {"Z:", "/"},
        {"Z:\\home\\u\\a.zip", "/home/u/a.zip"},
        {"Teile\\eins.sys", "Teile/eins.sys"},
        {"eins.sys", "eins.sys"},
        {"", ""},
    };
    for (const auto& [path, native] : cases) {
        EXPECT_EQ(map.toNative(path), native) << path;
    }
    // An unknown drive is error 71, as a drive that is there but not ready is.
    EXPECT_EQ(errorOf([&] { map.toNative("Q:\\x"); }), 71);
    map.removeDrive('a');
    EXPECT_EQ(errorOf([&] { map.toNative("A:\\QUIL.EXE"); }), 71);
}

TEST(DriveMapTest, FromNativeTakesTheLongestMatchingDrive) {
    rt::DriveMap map = testMap();
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/a.zip", "C:\\a.zip"},
        {"/home/u/stick/a.zip", "D:\\a.zip"},
        {"/home/u/stick", "D:\\"},
        {"/home/u/stick/", "D:\\"},
        {"/home/u/sticky/a", "C:\\sticky\\a"}, // a common prefix is not a parent folder
        {"/home/u", "C:\\"},
        {"/tmp/floppy/x/y.sys", "A:\\x\\y.sys"},
        {"/etc/passwd", "Z:\\etc\\passwd"},
        {"/", "Z:\\"},
        {"relative/name.txt", "relative\\name.txt"},
        // Linux reads doubled slashes as one; as backslashes they would pass for a network name.
        {"//home/u/stick//a.zip", "D:\\a.zip"},
        {"/etc//passwd", "Z:\\etc\\passwd"},
    };
    for (const auto& [native, path] : cases) {
        EXPECT_EQ(map.fromNative(native), path) << native;
    }
    // Without a drive that covers it, the path keeps its place with backslashes.
    map.removeDrive('z');
    EXPECT_EQ(map.fromNative("/etc/passwd"), "\\etc\\passwd");
}

TEST(DriveMapTest, SamePlaceComparesTheFoldersTheTextNames) {
    const rt::DriveMap map = testMap();
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"Z:\\tmp\\floppy\\", "A:\\", true},      {"Z:\\tmp\\\\floppy", "A:", true},
        {"Z:\\a\\.\\b\\..\\c", "Z:\\a\\c", true}, {"Z:\\..\\..", "Z:\\", true},
        {"Z:\\a\\b", "Z:\\a\\c", false},          {"Z:\\Größe", "Z:\\Grösse", false},
    };
    for (const auto& [a, b, same] : cases) {
        EXPECT_EQ(map.samePlace(a, b), same) << a << " " << b;
    }
}

TEST(DriveMapTest, ReadMountsDecodesOctalEscapes) {
    TempDir dir;
    dir.write("mounts", "/dev/sda1 / ext4 rw 0 0\n"
                        "/dev/sdb1 /media/u/MEIN\\040STICK vfat rw 0 0\n"
                        "tmpfs /tmp/a\\134b tmpfs rw 0 0\n"
                        "broken\n");
    const std::vector<lowio::MountEntry> mounts = lowio::readMounts((dir.path() / "mounts").string());
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0].device, "/dev/sda1");
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[1].mountPoint, "/media/u/MEIN STICK");
    EXPECT_EQ(mounts[2].mountPoint, "/tmp/a\\b");
}

// Readiness is asked at every access, both ways: a drive once seen is never taken as still there.
TEST(DriveMapTest, MountPointResolverIsReadyOnlyWhileTheFolderIsMounted) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "floppy");
    const std::string floppy = std::filesystem::canonical(dir.path() / "floppy").string();
    const std::string mounts = (dir.path() / "mounts").string();
    rt::DriveMap map;
    map.setDrive('A', rt::mountPointResolver(floppy, mounts));

    dir.write("mounts", "/dev/sda1 / ext4 rw 0 0\n");
    EXPECT_EQ(errorOf([&] { map.toNative("A:\\QUIL.EXE"); }), 71);

    dir.write("mounts", "/dev/sda1 / ext4 rw 0 0\n/dev/fd0 " + floppy + " vfat rw 0 0\n");
    EXPECT_EQ(map.toNative("A:\\QUIL.EXE"), floppy + "/QUIL.EXE");
    EXPECT_EQ(map.fromNative(floppy + "/QUIL.EXE"), "A:\\QUIL.EXE");

    dir.write("mounts", "/dev/sda1 / ext4 rw 0 0\n");
    EXPECT_EQ(errorOf([&] { map.toNative("A:\\QUIL.EXE"); }), 71);
    EXPECT_FALSE(map.root('a').has_value());
    EXPECT_EQ(map.letters(), std::vector<char>{'a'});
}

// The Linux map's view of the host: the test's own mounts table, the user "u", and the sizes
// given (every medium a diskette unless said otherwise).
rt::LinuxMedia hostIn(const TempDir& dir, decltype(rt::LinuxMedia::sizeOf) sizeOf = {}) {
    rt::LinuxMedia media;
    media.mountsFile = (dir.path() / "mounts").string();
    media.user = "u";
    media.sizeOf = sizeOf ? sizeOf : [](const std::string&) { return std::optional<unsigned long long>(1440 * 1024); };
    return media;
}

// What the Linux map makes of a mounts table: the floppy is found by its size wherever the
// desktop mounts it, a stick beside it keeps its letter, and without either A: is not ready.
TEST(DriveMapTest, LinuxMapFindsTheFloppyByItsSize) {
    struct Medium {
        const char* device;
        std::string mountPoint;  // a blank is written escaped, as the kernel does
        unsigned long long size; // 0: unknown
    };
    struct Case {
        const char* name;
        std::vector<Medium> media;
        const char* floppy;              // nullptr: A: not ready
        std::vector<std::string> others; // D: onwards
    };
    const unsigned long long diskette = 1440 * 1024;
    const unsigned long long stick = 8ULL << 30;
    const Case cases[] = {
        {"USB floppy and a stick",
         {{"sdc", "/media/u/DISK1", diskette}, {"sdb1", "/media/u/STICK", stick}},
         "/media/u/DISK1",
         {"/media/u/STICK"}},
        {"below /run/media", {{"sdc", "/run/media/u/A B", diskette}}, "/run/media/u/A B", {}},
        {"the largest diskette", {{"sdc", "/media/u/ED", 2880 * 1024}}, "/media/u/ED", {}},
        {"a little larger is a stick", {{"sdc", "/media/u/S", 2881 * 1024}}, nullptr, {"/media/u/S"}},
        {"size unknown", {{"sdc", "/media/u/S", 0}}, nullptr, {"/media/u/S"}},
        {"no floppy drive at all", {{"sdb1", "/media/u/STICK", stick}}, nullptr, {"/media/u/STICK"}},
        {"/dev/fd0 first, the USB floppy beside it is D:",
         {{"sdc", "/media/u/D", diskette}, {"fd0", "/mnt/fd", 0}},
         "/mnt/fd",
         {"/media/u/D"}},
        {"two USB floppy drives and a stick, in table order",
         {{"sdb1", "/media/u/STICK", stick}, {"sdc", "/media/u/DISK1", diskette}, {"sdd", "/media/u/DISK2", diskette}},
         "/media/u/DISK1",
         {"/media/u/STICK", "/media/u/DISK2"}},
        {"another user's media", {{"sdc", "/media/anna/D", diskette}}, nullptr, {}},
        {"deeper is not a medium", {{"sdc", "/media/u/x/D", diskette}}, nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::string mounts = "/dev/sda1 / ext4 rw 0 0\n";
        for (const Medium& m : c.media) {
            mounts += "/dev/" + std::string(m.device) + " " +
                      std::regex_replace(m.mountPoint, std::regex(" "), "\\040") + " vfat rw 0 0\n";
        }
        dir.write("mounts", mounts);
        const rt::DriveMap map = rt::linuxDriveMap(hostIn(dir, [&](const std::string& directory) {
            const auto m = std::find_if(c.media.begin(), c.media.end(),
                                        [&](const Medium& medium) { return medium.mountPoint == directory; });
            return m == c.media.end() || m->size == 0 ? std::nullopt : std::optional<unsigned long long>(m->size);
        }));
        EXPECT_EQ(map.root('a'), c.floppy ? std::optional<std::string>(c.floppy) : std::nullopt);
        std::vector<std::string> others;
        for (const char letter : map.letters()) {
            if (letter != 'a' && letter != 'z') {
                others.push_back(map.root(letter).value_or("not ready"));
            }
        }
        EXPECT_EQ(others, c.others);
    }
}

// Each new diskette comes up under its own label: A: follows it, at every access, but never onto
// a diskette that has a letter of its own (one in a second drive, D:).
TEST(DriveMapTest, LinuxMapFollowsTheNextDisketteUnderAnotherLabel) {
    for (const std::string beside : {"", "/dev/sdd /media/u/ZWEI vfat rw 0 0\n"}) {
        SCOPED_TRACE(beside);
        TempDir dir;
        dir.write("mounts", "/dev/sdc /media/u/DISK1 vfat rw 0 0\n" + beside);
        const rt::DriveMap map = rt::linuxDriveMap(hostIn(dir));
        EXPECT_EQ(map.toNative("A:\\QUILME01.sys"), "/media/u/DISK1/QUILME01.sys");
        dir.write("mounts", beside);
        EXPECT_EQ(errorOf([&] { map.toNative("A:\\QUILME02.sys"); }), 71);
        dir.write("mounts", beside + "/dev/sdc /media/u/Neu vfat rw 0 0\n");
        EXPECT_EQ(map.toNative("A:\\QUILME02.sys"), "/media/u/Neu/QUILME02.sys");
        EXPECT_EQ(map.letters(), (beside.empty() ? std::vector<char>{'a', 'z'} : std::vector<char>{'a', 'd', 'z'}));
    }
}

// Whether the PC has a floppy drive at all, disk or not: a USB floppy drive shows as a block
// device whose USB interface has the UFI subclass 04; a card reader (06) is none.
TEST(DriveMapTest, LinuxFloppyDriveIsThereWithOrWithoutADisk) {
    struct Case {
        const char* name;
        const char* subclass; // of the one block device; nullptr for none
        bool disketteMounted;
        bool drive;
    };
    const Case cases[] = {{"none", nullptr, false, false},
                          {"USB floppy drive, empty", "04", false, true},
                          {"card reader", "06", false, false},
                          {"a diskette is mounted", nullptr, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::filesystem::path interface = dir.path() / "devices/usb1/1-1/1-1:1.0";
        std::filesystem::create_directories(interface / "host6/target6:0:0/6:0:0:0");
        std::filesystem::create_directories(dir.path() / "block/sdc");
        if (c.subclass != nullptr) {
            dir.write("devices/usb1/1-1/1-1:1.0/bInterfaceSubClass", std::string(c.subclass) + "\n");
            std::filesystem::create_directory_symlink(interface / "host6/target6:0:0/6:0:0:0",
                                                      dir.path() / "block/sdc/device");
        }
        dir.write("mounts", c.disketteMounted ? "/dev/sdc /media/u/D vfat rw 0 0\n" : "");
        rt::LinuxMedia media = hostIn(dir);
        media.floppyDevice = (dir.path() / "fd0").string();
        media.blockDevices = (dir.path() / "block").string();
        EXPECT_EQ(rt::linuxDriveMap(media).hasDevice('a'), c.drive);
    }
}

TEST(DriveMapTest, LinuxDefaultHasTheFloppyAndTheRoot) {
    const rt::DriveMap map = rt::DriveMap::hostDefault();
    const std::vector<char> letters = map.letters();
    ASSERT_FALSE(letters.empty());
    EXPECT_EQ(letters.front(), 'a');
    EXPECT_EQ(letters.back(), 'z');
    EXPECT_EQ(map.toNative("Z:\\etc\\hostname"), "/etc/hostname");
    // Removable media are mounted below /media/<user>/, so they never take the root's place.
    EXPECT_EQ(map.fromNative("/usr/bin/env"), "Z:\\usr\\bin\\env");
}

} // namespace

TEST(DriveMapTest, AVolumeIsNamedByTheHostElseByItsDirectory) {
    rt::DriveMap map = testMap();
    map.setVolumeNamer('c', [] { return std::string("SYSTEM"); });
    map.setVolumeNamer('q', [] { return std::string("unknown drives keep no namer"); });
    const std::pair<char, const char*> cases[] = {
        {'c', "SYSTEM"}, // the host's name wins over the directory's
        {'d', "stick"},  // a stick is named by its mount point
        {'a', ""},       // the floppy's disk changes while the list stands
        {'z', ""},       // the root has no name
        {'q', ""},
    };
    for (const auto& [letter, name] : cases) {
        EXPECT_EQ(map.volumeName(letter), name) << letter;
    }
}
