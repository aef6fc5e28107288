// Part names and the maximum part size: pure arithmetic with 16- and 32-bit limits.
#include "copier/PartSizing.h"
#include "runtime/RuntimeError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

struct NameCase {
    int16_t counter;
    const char* name;
};

class PartNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(PartNames, TakeTheLastTwoDigitsOfTheNumberPlusHundred) {
    EXPECT_EQ(kopierer::partFileName("A:\\", GetParam().counter), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Table, PartNames,
                         ::testing::Values(NameCase{1, "A:\\QUILME01.sys"}, NameCase{9, "A:\\QUILME09.sys"},
                                           NameCase{42, "A:\\QUILME42.sys"}, NameCase{99, "A:\\QUILME99.sys"},
                                           NameCase{100, "A:\\QUILME00.sys"}, NameCase{101, "A:\\QUILME01.sys"},
                                           NameCase{32667, "A:\\QUILME67.sys"}));

TEST(PartNamesOverflow, ACounterAbove32667IsError6) {
    EXPECT_THAT([] { kopierer::partFileName("A:\\", 32668); },
                ::testing::Throws<rt::RuntimeError>(::testing::Property(&rt::RuntimeError::number, 6)));
}

TEST(PartNames, AreAppendedToTheFolderText) {
    EXPECT_EQ(kopierer::partFileName("Z:\\tmp\\Teile\\", 3), "Z:\\tmp\\Teile\\QUILME03.sys");
}

struct SizeCase {
    const char* text;
    int unit;
    int32_t bytes; // 0: error 6 expected
};

class MaxPartSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(MaxPartSize, IsTheNumberTimesTheUnitRoundedToEven) {
    const SizeCase& c = GetParam();
    if (c.bytes == 0) {
        try {
            kopierer::maxPartSize(c.text, c.unit);
            FAIL() << "no overflow for " << c.text;
        } catch (const rt::RuntimeError& error) {
            EXPECT_EQ(error.number(), 6);
        }
    } else {
        EXPECT_EQ(kopierer::maxPartSize(c.text, c.unit), c.bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, MaxPartSize,
                         ::testing::Values(SizeCase{"1440", 0, 1474560}, SizeCase{"1440", 1, 1509949440},
                                           SizeCase{"1.5", 0, 1536}, SizeCase{".001", 0, 1},
                                           SizeCase{" 2 Kbyte", 0, 2048}, SizeCase{"2047", 1, 2146435072},
                                           SizeCase{"2048", 1, 0}, SizeCase{"3000000", 0, 0}));

} // namespace
