// The pure start-up pieces: the estimate, the display name, the path split, the usage text.
#include "app/SourceChecks.h"
#include "runtime/RuntimeError.h"
#include "support/Outcomes.h"

#include <gtest/gtest.h>

namespace {

struct EstimateCase {
    int64_t length;
    int64_t disks;
};

class DiskEstimate : public ::testing::TestWithParam<EstimateCase> {};

TEST_P(DiskEstimate, RoundsUpUnlessSinglePrecisionMadeItWhole) {
    EXPECT_EQ(app::diskEstimate(GetParam().length), GetParam().disks) << "length " << GetParam().length;
}

INSTANTIATE_TEST_SUITE_P(Table, DiskEstimate,
                         ::testing::Values(EstimateCase{0, 1}, EstimateCase{1, 1}, EstimateCase{1257664, 1},
                                           EstimateCase{1257665, 2}, EstimateCase{10000000, 7},
                                           EstimateCase{6543210, 5},
                                           // 16.0000007 is stored as exactly 16 in single precision
                                           EstimateCase{23122625, 16}, EstimateCase{2147283647, 1474}));

// Past 32 bits, by the same rule: the counts were worked out apart from this code, with the
// length plus the allowance divided in double and rounded once to single precision (Python:
// struct.pack("f", ...)). Far out a float is whole, so the count lands on its grid.
INSTANTIATE_TEST_SUITE_P(Beyond32Bits, DiskEstimate,
                         ::testing::Values(EstimateCase{2147283648, 1474}, EstimateCase{2147483648, 1474},
                                           EstimateCase{4294967295, 2947}, EstimateCase{4294967296, 2947},
                                           EstimateCase{5368709120, 3684},
                                           EstimateCase{2594138035940449079, 1779654328320},
                                           EstimateCase{3855310946523816199, 2644855750656},
                                           EstimateCase{7777872199551439885, 5335847272448},
                                           EstimateCase{9223372036854775807, 6327502372864}));

// Cut after 36 characters, not bytes: 36 umlauts are 72 bytes and shown whole, and one more
// character cuts between two umlauts, never inside one.
TEST(DisplayName, LongNamesAreCutAfter36Characters) {
    const std::string name36(36, 'a');
    std::string umlauts;
    for (int i = 0; i < 36; ++i) {
        umlauts += "ä";
    }
    const std::pair<std::string, std::string> cases[] = {
        {name36, name36},   {name36 + "b", name36 + " ..."},   {"", ""},
        {umlauts, umlauts}, {umlauts + "ö", umlauts + " ..."},
    };
    for (const auto& [name, shown] : cases) {
        EXPECT_EQ(app::displayName(name), shown) << name;
    }
}

TEST(TrimBlanks, OnlyTheBlankIsTrimmed) {
    EXPECT_EQ(app::trimBlanks("  C:\\a.zip  "), "C:\\a.zip");
    EXPECT_EQ(app::trimBlanks("   "), "");
    EXPECT_EQ(app::trimBlanks("\tC:\\a.zip\t"), "\tC:\\a.zip\t");
    EXPECT_EQ(app::trimBlanks("\"C:\\a.zip\""), "\"C:\\a.zip\"");
}

struct SplitCase {
    const char* path;
    const char* folder;
    const char* name;
};

TEST(SplitSourcePath, FolderKeepsItsBackslash) {
    const SplitCase cases[] = {
        {"C:\\Daten\\Bericht.doc", "C:\\Daten\\", "Bericht.doc"},
        {"Datei.zip", "", "Datei.zip"},
        {"C:\\Bericht.doc", "C:\\", "Bericht.doc"},
        {"Z:\\home\\u\\a\\b\\c.bin", "Z:\\home\\u\\a\\b\\", "c.bin"},
        {"C:\\Daten\\", "C:\\Daten\\", ""},
    };
    for (const auto& c : cases) {
        core::SourceSelection source;
        source.SourcePath = c.path;
        app::splitSourcePath(source);
        EXPECT_EQ(source.SourceFolder, c.folder) << c.path;
        EXPECT_EQ(source.SourceName, c.name) << c.path;
    }
}

TEST(SplitSourcePath, BackslashBeyond16BitPositionsOverflows) {
    core::SourceSelection source;
    source.SourcePath = std::string(40000, 'x') + "\\a";
    EXPECT_EQ(testing_support::errorOf([&] { app::splitSourcePath(source); }), rt::kOverflow);
}

TEST(UsageText, NineLinesJoinedByLoneCarriageReturns) {
    const std::string expected = "Sie haben Splitwerk 99 falsch\rgestartet.\r\rKlicken Sie mit der rechten Maustaste "
                                 "auf\rdie zu sichernde Datei und w\xC3\xA4hlen Sie aus\rderen Kontextmen\xC3\xBC den "
                                 "Eintrag 'Senden an'.\r\rIm n\xC3\xA4\x63hsten Men\xC3\xBC klicken Sie dann auf "
                                 "den\rPunkt 'Splitwerk 99'.";
    EXPECT_EQ(app::usageText(), expected);
    EXPECT_EQ(app::usageText().find('\n'), std::string::npos);
}

TEST(EstimateSentence, NamesFileAndCount) {
    EXPECT_EQ(
        app::estimateSentence("Kapitel_1_bis_6.PAK", 5),
        "Sie haben die Datei 'Kapitel_1_bis_6.PAK' zur Sicherung mit Splitwerk 99 ausgew\xC3\xA4hlt. "
        "Daf\xC3\xBCr ben\xC3\xB6tigen Sie ungef\xC3\xA4hr 5 Disketten mit einer Kapazit\xC3\xA4t von 1,44 MByte.");
    // A count past 32 bits in full, without grouping.
    EXPECT_NE(app::estimateSentence("a", 6327502372864).find(" 6327502372864 Disketten"), std::string::npos);
    EXPECT_NE(app::estimateSentence("a", 1, 1).find(" 1 Disketten und 1 Ersatzdiskette mit einer"), std::string::npos);
    EXPECT_NE(app::estimateSentence("a", 6, 2).find(" 6 Disketten und 2 Ersatzdisketten mit einer"), std::string::npos);
}

// The Ersatzdisketten: QUIL.EXE and the recovery data, which is as long as the longest part (at
// most a diskette) plus an index that grows with the parts; an empty file writes nothing.
TEST(SpareDiskEstimate, OneForASmallFileTwoOnceTheLongestPartNearlyFillsADisk) {
    // 5 GiB: the index of its 3684 parts still fits beside the longest part.
    for (const auto& [length, spare] : std::vector<std::pair<int64_t, int64_t>>{
             {0, 0}, {1, 1}, {1200000, 1}, {1300000, 2}, {7288320, 2}, {5368709120, 2}}) {
        EXPECT_EQ(app::spareDiskEstimate(length), spare) << "length " << length;
    }
}

} // namespace
