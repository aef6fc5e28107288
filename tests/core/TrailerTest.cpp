// Reading the trailer back from the end of QUIL.EXE, and the name the restored file gets.
#include "core/DiskSet.h"
#include "core/RecoveryData.h"

#include <gtest/gtest.h>

#include <string>

using core::diskset::parseTrailer;

namespace {

// What precedes the trailer in QUIL.EXE: the program's bytes ending in a line feed.
const std::string kProgramEnd = std::string("\x7f"
                                            "ELF\0\0\r\n\x01\x02\0\n",
                                            12);

struct GoodCase {
    std::string bytes;
    std::int64_t length;
    std::string folder, longName, givenName;
};

TEST(TrailerTest, ReadsTheFourLinesFromTheEnd) {
    const GoodCase cases[] = {
        {kProgramEnd + "6543210\r\nC:\\DATEN\\\r\nKapitel_1_bis_6.PAK\r\nKAPITE~1.PAK\r\n", 6543210, "C:\\DATEN\\",
         "Kapitel_1_bis_6.PAK", "KAPITE~1.PAK"},
        // An empty folder and long name, as for a path without a backslash or a hidden source.
        {kProgramEnd + "17\r\n\r\n\r\nnotiz.txt\r\n", 17, "", "", "notiz.txt"},
        {kProgramEnd + "0\r\nZ:\\home\\u\\\r\nleer\r\nleer\r\n", 0, "Z:\\home\\u\\", "leer", "leer"},
        // UTF-8 names are bytes and pass unchanged; a blank inside a name too.
        {kProgramEnd + "5\r\nZ:\\tmp\\\r\nÄrger mit Öl.zip\r\nÄrger mit Öl.zip\r\n", 5, "Z:\\tmp\\", "Ärger mit Öl.zip",
         "Ärger mit Öl.zip"},
        // A stripped program ends its section table with NUL bytes, not a line feed.
        {std::string("ELF\0\0\0", 6) + "42\r\nZ:\\\r\na\r\nb\r\n", 42, "Z:\\", "a", "b"},
        // Leading zeros and the largest length that fits.
        {kProgramEnd + "0009223372036854775807\r\nZ:\\\r\na\r\na\r\n", 9223372036854775807, "Z:\\", "a", "a"},
        // Where 32 bits would have wrapped: a file of 2 GiB and one of 4 GiB.
        {kProgramEnd + "2147483648\r\nZ:\\\r\na\r\na\r\n", 2147483648, "Z:\\", "a", "a"},
        {kProgramEnd + "4294967296\r\nZ:\\\r\na\r\na\r\n", 4294967296, "Z:\\", "a", "a"},
    };
    for (const GoodCase& c : cases) {
        const core::diskset::TrailerReading reading = parseTrailer(c.bytes, false);
        ASSERT_TRUE(reading.trailer) << c.bytes << ": " << reading.problem;
        EXPECT_EQ(reading.trailer->length, c.length);
        EXPECT_EQ(reading.trailer->folder, c.folder);
        EXPECT_EQ(reading.trailer->longName, c.longName);
        EXPECT_EQ(reading.trailer->givenName, c.givenName);
    }
}

TEST(TrailerTest, TheFirstLineMayStartAtTheFileBeginningOnlyWhenTheWholeFileWasRead) {
    const std::string bytes = "300\r\nZ:\\\r\na\r\na\r\n";
    EXPECT_TRUE(parseTrailer(bytes, true).trailer);
    EXPECT_FALSE(parseTrailer(bytes, false).trailer);
}

struct MarkerCase {
    std::string before; // the bytes between the program's and line 1
    bool marked;
    std::string tie = {};
    bool damaged = false; // a marker changed on its way: no trailer rather than no recovery data
};

// The recovery marker is one more line before line 1: every reader of the four lines still finds
// them, and only the marker exactly at line 1's start marks the set.
TEST(TrailerTest, TheRecoveryMarkerStandsRightBeforeLineOneAndLeavesTheFourLinesAsTheyAre) {
    core::diskset::Trailer written{6543210, "C:\\DATEN\\", "Kapitel_1_bis_6.PAK", "KAPITE~1.PAK"};
    const std::string plain = core::diskset::trailerBytes(written);
    EXPECT_EQ(plain, "6543210\r\nC:\\DATEN\\\r\nKapitel_1_bis_6.PAK\r\nKAPITE~1.PAK\r\n");
    written.withRecovery = true;
    const std::string marker = core::recovery::markerLine({});
    EXPECT_EQ(marker, "Splitwerk 99 mit Ersatzdiskette\r\n");
    EXPECT_EQ(core::diskset::trailerBytes(written), marker + plain);
    written.recoveryTie = "0123456789abcdef";
    const std::string tied = "Splitwerk 99 mit Ersatzdiskette 0123456789abcdef\r\n";
    EXPECT_EQ(core::diskset::trailerBytes(written), tied + plain);
    const MarkerCase cases[] = {
        {marker, true},
        {tied, true, "0123456789abcdef"},
        {"Splitwerk 99 mit Ersatzdiskette 0123456789ABCDEF\r\n", false, "", true},
        {"Splitwerk 99 mit Ersatzdiskette 0123456789abcde\r\n", false, "", true},
        {"Splitwerk 99 mit Ersatzdiskette  0123456789abcdef\r\n", false, "", true},
        {"", false},
        {marker.substr(0, marker.size() - 2) + "\n", false, "", true},
        {marker + std::string(1, '\0'), false},
        {marker + "\n", false},
        {"x" + marker, true},
    };
    for (const MarkerCase& c : cases) {
        for (bool wholeFile : {false, true}) {
            const std::string bytes = (wholeFile ? "" : kProgramEnd) + c.before + plain;
            const core::diskset::TrailerReading reading = parseTrailer(bytes, wholeFile);
            if (c.damaged) {
                EXPECT_FALSE(reading.trailer) << bytes;
                EXPECT_NE(reading.problem.find("Ersatzdiskette"), std::string::npos) << reading.problem;
                continue;
            }
            ASSERT_TRUE(reading.trailer) << bytes << ": " << reading.problem;
            EXPECT_EQ(reading.trailer->withRecovery, c.marked) << bytes;
            EXPECT_EQ(reading.trailer->recoveryTie, c.tie) << bytes;
            EXPECT_EQ(reading.trailer->length, 6543210);
            EXPECT_EQ(reading.trailer->folder, "C:\\DATEN\\");
            EXPECT_EQ(reading.trailer->givenName, "KAPITE~1.PAK");
        }
    }
}

struct DamagedCase {
    std::string bytes;
    std::string problem; // a part of the explanation
};

TEST(TrailerTest, SaysWhatIsWrongWithADamagedTrailer) {
    const DamagedCase cases[] = {
        {kProgramEnd, "endet nicht mit den vier Angabezeilen"},
        {kProgramEnd + "300\nZ:\\\na\na\n", "endet nicht mit den vier Angabezeilen"},
        {kProgramEnd + "300\r\nZ:\\\r\na\r\na", "endet nicht mit den vier Angabezeilen"},
        {"a\r\n", "nur 1 statt vier"},
        {"Z:\\\r\na\r\na\r\n", "nur 3 statt vier"},
        {kProgramEnd + "-300\r\nZ:\\\r\na\r\na\r\n", "negative Länge"},
        {kProgramEnd + "12a4\r\nZ:\\\r\na\r\na\r\n", "keine Länge in Ziffern"},
        {kProgramEnd + "abc\r\nZ:\\\r\na\r\na\r\n", "keine Länge in Ziffern"},
        {kProgramEnd + " 300\r\nZ:\\\r\na\r\na\r\n", "keine Länge in Ziffern"},
        {kProgramEnd + "3.5\r\nZ:\\\r\na\r\na\r\n", "keine Länge in Ziffern"},
        {kProgramEnd + "-\r\nZ:\\\r\na\r\na\r\n", "keine Länge in Ziffern"},
        {kProgramEnd + "\r\nZ:\\\r\na\r\na\r\n", "leer"},
        {kProgramEnd + "9223372036854775808\r\nZ:\\\r\na\r\na\r\n", "unmöglich große"},
        {kProgramEnd + "123456789012345678901234567890\r\nZ:\\\r\na\r\na\r\n", "unmöglich große"},
        // Program bytes right before the length would lengthen it: they are not a number.
        {std::string("ELF\x01\x02", 5) + "300\r\nZ:\\\r\na\r\na\r\n", "keine Länge in Ziffern"},
        // A problem that quotes the line never echoes a control character to the terminal.
        {kProgramEnd + "1\x1b[2J\r\nZ:\\\r\na\r\na\r\n", "keine Länge in Ziffern"},
    };
    for (const DamagedCase& c : cases) {
        const core::diskset::TrailerReading reading = parseTrailer(c.bytes, true);
        EXPECT_FALSE(reading.trailer) << c.bytes;
        EXPECT_NE(reading.problem.find(c.problem), std::string::npos) << c.bytes << " gave: " << reading.problem;
        EXPECT_EQ(reading.problem.find('\x1b'), std::string::npos) << reading.problem;
    }
}

struct NameCase {
    std::string longName;
    std::string givenName;
    std::optional<std::string> name;
};

TEST(TrailerTest, TheOutputNameIsTheLastComponentOfTheLongNameElseTheGivenOne) {
    const NameCase cases[] = {
        {"Kapitel_1_bis_6.PAK", "KAPITE~1.PAK", "Kapitel_1_bis_6.PAK"},
        {"", "KAPITE~1.PAK", "KAPITE~1.PAK"},
        {"", "C:\\DATEN\\Bericht.doc", "Bericht.doc"},
        {"..\\..\\evil.txt", "x", "evil.txt"},
        {"../../etc/passwd", "x", "passwd"},
        {"a\\b/c", "x", "c"},
        {".versteckt", "x", ".versteckt"},
        {"...", "x", "..."},
        {"..", "x", std::nullopt},
        {"", "..", std::nullopt},
        {"a/../..", "x", std::nullopt},
        {"x\\..", "x", std::nullopt},
        {"x\\.", "x", std::nullopt},
        {"ordner\\", "x", std::nullopt},
        {"", "", std::nullopt},
        {"zeile\nzwei", "x", std::nullopt},
        {std::string("nul\0l", 5), "x", std::nullopt},
    };
    for (const NameCase& c : cases) {
        core::diskset::Trailer trailer;
        trailer.longName = c.longName;
        trailer.givenName = c.givenName;
        EXPECT_EQ(core::diskset::outputName(trailer), c.name) << c.longName << " / " << c.givenName;
    }
}

} // namespace
