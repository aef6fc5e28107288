// Part names, finding a part in another case, and adding up what a folder holds.
#include "reassembler/PartNames.h"
#include "core/DiskSet.h"
#include "reassembler/Join.h"
#include "reassembler/Trailer.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <system_error>

namespace {

TEST(PartNamesTest, TwoDigitsThatWrapAfterNinetyNine) {
    const std::pair<long, const char*> cases[] = {
        {1, "QUILME01.sys"},   {9, "QUILME09.sys"},   {10, "QUILME10.sys"},
        {42, "QUILME42.sys"},  {99, "QUILME99.sys"},  {100, "QUILME00.sys"},
        {101, "QUILME01.sys"}, {200, "QUILME00.sys"}, {32667, "QUILME67.sys"},
    };
    for (const auto& [number, name] : cases) {
        EXPECT_EQ(core::diskset::partName(number), name) << number;
    }
}

TEST(PartNamesTest, FindsAPartInAnyCaseAndPrefersTheExactSpelling) {
    testing_support::TempDir dir;
    dir.write("quilme01.sys", "a");
    dir.write("QUILME02.SYS", "b");
    dir.write("QUILME03.sys", "exact");
    dir.write("quilme03.sys", "other");
    std::filesystem::create_directory(dir.path() / "QUILME04.sys"); // a folder is no part

    EXPECT_EQ(quil::findPart(dir.str(), "QUILME01.sys"), quil::joinPath(dir.str(), "quilme01.sys"));
    EXPECT_EQ(quil::findPart(dir.str(), "QUILME02.sys"), quil::joinPath(dir.str(), "QUILME02.SYS"));
    EXPECT_EQ(quil::findPart(dir.str(), "QUILME03.sys"), quil::joinPath(dir.str(), "QUILME03.sys"));
    EXPECT_EQ(quil::findPart(dir.str(), "QUILME04.sys"), std::nullopt);
    EXPECT_EQ(quil::findPart(dir.str() + "/fehlt", "QUILME01.sys"), std::nullopt);
}

TEST(PartNamesTest, AmongOtherSpellingsTakesTheFirstRegularFileInByteOrder) {
    testing_support::TempDir dir;
    dir.write("quilme01.sys", "c");
    dir.write("QuilMe01.sys", "b");
    std::error_code error;
    std::filesystem::create_directory(dir.path() / "QUILME01.SYS", error); // first in byte order, but no part
    if (std::distance(std::filesystem::directory_iterator(dir.path()), {}) < 3) {
        GTEST_SKIP() << "this file system does not keep the spellings apart";
    }
    EXPECT_EQ(quil::findPart(dir.str(), "QUILME01.sys"), quil::joinPath(dir.str(), "QuilMe01.sys"));
}

TEST(PartNamesTest, ScanAddsUpConsecutivePartsAndNamesTheOneThatOverflows) {
    struct Case {
        std::vector<std::size_t> sizes; // the first part, the second, ... (0 = missing from here on)
        std::int64_t length;
        std::int64_t bytes;
        long parts;
        std::string overlong;
    };
    const Case cases[] = {
        {{10, 10, 5}, 25, 25, 3, ""},
        {{10, 10, 5}, 40, 25, 3, ""}, // more disks needed
        {{10, 10, 5}, 20, 20, 2, ""}, // the length is reached: the third part is not looked at
        {{10, 10, 5}, 15, 20, 1, "QUILME02.sys"},
        {{10, 10}, 0, 0, 0, ""},
        // A hundred parts in one folder: the 101st would be QUILME01.sys again, the file already
        // counted, not a new part.
        {std::vector<std::size_t>(100, 2), 1000, 200, 100, ""},
    };
    for (const Case& c : cases) {
        testing_support::TempDir dir;
        long number = 1;
        for (std::size_t size : c.sizes) {
            dir.write(core::diskset::partName(number++), std::string(size, 'x'));
        }
        const quil::FolderScan scan = quil::scanFolder(dir.str(), c.length);
        EXPECT_EQ(scan.bytes, c.bytes) << c.length;
        EXPECT_EQ(scan.parts, c.parts) << c.length;
        EXPECT_EQ(scan.overlongPart, c.overlong) << c.length;
    }
}

TEST(PartNamesTest, TrailerNamesAreUtf8WhenMarkedOrUnmistakable) {
    struct Case {
        std::string folder;
        std::string name;
        bool utf8;
    };
    const std::string mark(quil::kUtf8Mark);
    const Case cases[] = {
        {"Z:\\home\\", "Gro\xc3\x9f \xe2\x82\xac.txt", true}, // a Linux set from before the mark
        {"C:\\", "Kunden \xc4\x96Z.xls", false},              // cp1252 "Ä–" that is valid UTF-8
        {"C:\\Gr\xc3\xbcn\\", "Gro\xdf.txt", false},          // the three lines are read alike
        {"Z:\\", "\xd0\x9e.txt", false},                      // beyond Latin-1, unmarked: ANSI
        {mark + "C:\\", "Kunden \xc4\x96Z.xls", true},
        {mark + "C:\\", "Gro\xdf.txt", false}, // marked, but no UTF-8
    };
    for (const Case& c : cases) {
        core::diskset::Trailer trailer{1, c.folder, c.name, "KURZ.TXT"};
        EXPECT_EQ(quil::takeNameEncoding(trailer), c.utf8) << c.folder << c.name;
        EXPECT_EQ(trailer.folder.find(mark), std::string::npos) << c.folder;
    }
}

} // namespace
