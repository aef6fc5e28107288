// Part names, the maximum part size and the parts it gives: pure arithmetic with 16- and 64-bit limits.
#include "copier/PartSizing.h"
#include "runtime/RuntimeError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

// The name itself is the set's part name (the table of its two digits is with it); here the
// folder text it is appended to and the 16-bit counter's end.
TEST(PartFileName, IsTheFolderTextAndThePartNameUpTo32667) {
    EXPECT_EQ(kopierer::partFileName("Z:\\tmp\\Teile\\", 3), "Z:\\tmp\\Teile\\QUILME03.sys");
    EXPECT_EQ(kopierer::partFileName("A:\\", 32667), "A:\\QUILME67.sys");
    EXPECT_THAT([] { kopierer::partFileName("A:\\", 32668); },
                ::testing::Throws<rt::RuntimeError>(::testing::Property(&rt::RuntimeError::number, 6)));
}

struct SizeCase {
    const char* text;
    int unit;
    std::optional<int64_t> bytes; // nothing: beyond any size
};

class MaxPartSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(MaxPartSize, IsTheNumberTimesTheUnitRoundedToEven) {
    EXPECT_EQ(kopierer::maxPartSize(GetParam().text, GetParam().unit), GetParam().bytes) << GetParam().text;
}

// The first row to the sixth as they always were; then past 2^31 and 2^32, and beyond 2^63.
INSTANTIATE_TEST_SUITE_P(Table, MaxPartSize,
                         ::testing::Values(SizeCase{"1440", 0, 1474560}, SizeCase{"1440", 1, 1509949440},
                                           SizeCase{"1.5", 0, 1536}, SizeCase{".001", 0, 1},
                                           SizeCase{" 2 Kbyte", 0, 2048}, SizeCase{"2047", 1, 2146435072},
                                           SizeCase{"2048", 1, int64_t{1} << 31}, SizeCase{"3000000", 0, 3072000000},
                                           SizeCase{"4096", 1, int64_t{1} << 32},
                                           SizeCase{"4095.9999995", 1, (int64_t{1} << 32) - 1},
                                           SizeCase{"99999", 1, 104856551424}, SizeCase{"8E12", 1, 8388608000000000000},
                                           SizeCase{"9E12", 1, std::nullopt}, SizeCase{"9E999", 1, std::nullopt}));

class SmallestPartSizeForAFolder : public ::testing::TestWithParam<int64_t> {};

// The size named for a source that would need more than 100 parts in one folder: typed as it is
// named, it gives 100 parts at most, and one less of its unit would not.
TEST_P(SmallestPartSizeForAFolder, FitsAndIsTheSmallestOfItsUnit) {
    const int64_t length = GetParam();
    const kopierer::TypedPartSize named = kopierer::smallestPartSizeForAFolder(length);
    const auto parts = [&](int64_t number) {
        return kopierer::partsFor(length, kopierer::maxPartSize(std::to_string(number), named.unitListIndex).value());
    };
    EXPECT_LE(parts(named.number), 100);
    EXPECT_TRUE(named.number == 1 || parts(named.number - 1) > 100) << named.number;
}

INSTANTIATE_TEST_SUITE_P(Table, SmallestPartSizeForAFolder,
                         ::testing::Values(101, 102401, 1048576000 - 1, 1048576000, (int64_t{1} << 31) - 1,
                                           int64_t{1} << 31, (int64_t{1} << 32) + 1, INT64_MAX));

} // namespace
