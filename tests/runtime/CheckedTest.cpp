// Checked arithmetic, rounding and the leading-number conversion: the maximum part size
// comes from them, so a wrong rounding or a silent wrap-around splits a file wrongly.
#include "runtime/Checked.h"
#include "runtime/RuntimeError.h"
#include "support/Outcomes.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>

namespace {

using testing_support::errorOf;

TEST(CheckedTest, SixteenAndThirtyTwoBitArithmeticOverflowsWithError6) {
    EXPECT_EQ(rt::addInt16(32667, 100), 32767);
    EXPECT_EQ(rt::addInt16(-32768, 0), -32768);
    EXPECT_EQ(errorOf([] { rt::addInt16(32668, 100); }), 6);
    EXPECT_EQ(errorOf([] { rt::addInt16(-32768, -1); }), 6);

    EXPECT_EQ(rt::addInt32(2147483646, 1), 2147483647);
    EXPECT_EQ(errorOf([] { rt::addInt32(2147483647, 1); }), 6);
    EXPECT_EQ(rt::subInt32(-2147483647, 1), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(errorOf([] { rt::subInt32(std::numeric_limits<int32_t>::min(), 1); }), 6);
    EXPECT_EQ(errorOf([] { rt::subInt32(0, std::numeric_limits<int32_t>::min()); }), 6);

    EXPECT_EQ(rt::toInt32(2147483647), 2147483647);
    EXPECT_EQ(errorOf([] { rt::toInt32(2147483648LL); }), 6);
    EXPECT_EQ(errorOf([] { rt::toInt32(-2147483649LL); }), 6);
}

// To the nearest, ties to even; out of range (also by way of the tie) or not finite is error 6.
TEST(CheckedTest, RoundingGoesToTheNearestWithTiesToEvenElseError6) {
    const double infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, std::optional<int32_t>> cases[] = {{1536.0, 1536},
                                                               {1.024, 1},
                                                               {2.5, 2},
                                                               {3.5, 4},
                                                               {-2.5, -2},
                                                               {-3.5, -4},
                                                               {0.5, 0},
                                                               {1.5, 2},
                                                               {0.49999, 0},
                                                               {2.5000001, 3},
                                                               {-0.7, -1},
                                                               {1474560.0, 1474560},
                                                               {1509949440.0, 1509949440},
                                                               {2147483647.0, 2147483647},
                                                               {-2147483648.0, std::numeric_limits<int32_t>::min()},
                                                               {2147483647.4, 2147483647},
                                                               {2147483647.5, std::nullopt},
                                                               {2147483648.0, std::nullopt},
                                                               {-2147483649.0, std::nullopt},
                                                               {2048.0 * 1024 * 1024, std::nullopt},
                                                               {infinity, std::nullopt},
                                                               {-infinity, std::nullopt},
                                                               {std::nan(""), std::nullopt}};
    for (const auto& [value, expected] : cases) {
        std::optional<int32_t> rounded;
        EXPECT_EQ(errorOf([&, value = value] { rounded = rt::roundToInt32(value); }), expected ? 0 : 6) << value;
        EXPECT_EQ(rounded, expected) << value;
    }
}

TEST(CheckedTest, LeadingNumberReadsAsFarAsTheNumberGoes) {
    const std::pair<const char*, double> cases[] = {
        {"1440", 1440.0},
        {" 1.5kb", 1.5},
        {".001", 0.001},
        {"abc", 0.0},
        {"", 0.0},
        {"-3", -3.0},
        {"+7", 7.0},
        {"1e3", 1000.0},
        {"1E-2", 0.01},
        {"2e", 2.0},
        {"2e+", 2.0},
        {"12 34", 1234.0},
        {"\t 42x", 42.0},
        {"5.", 5.0},
        {"1.2.3", 1.2},
        {"-.5", -0.5},
        {".", 0.0},
        {"-", 0.0},
        {"1,5", 1.0},
        {"0x10", 0.0},
        {"1e-400", 0.0},
        {"007", 7.0},
        // blanks, tabs and line feeds do not end a number, wherever they stand
        {"1 440", 1440.0},
        {"- 1 . 5", -1.5},
        {"1\t4\n4 0 Kb", 1440.0},
        {"1 e 3", 1000.0},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_DOUBLE_EQ(rt::leadingNumber(text), expected) << '"' << text << '"';
    }
    EXPECT_EQ(errorOf([] { rt::leadingNumber("1e400"); }), 6);
}

TEST(CheckedTest, LeadingNumberIgnoresTheCLocale) {
    // The window sets the user's locale; a German one must not turn "1.5" into 1.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    }
    const double value = rt::leadingNumber("1.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_DOUBLE_EQ(value, 1.5);
}

TEST(CheckedTest, NumberTextHasASignOnlyWhenNegative) {
    EXPECT_EQ(rt::numberText(123), "123");
    EXPECT_EQ(rt::numberText(0), "0");
    EXPECT_EQ(rt::numberText(-5), "-5");
    EXPECT_EQ(rt::numberText(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

} // namespace
