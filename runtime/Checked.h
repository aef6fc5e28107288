// Arithmetic with the overflow rules the program's logic relies on: counters are signed 16-bit,
// the few values that stay 32-bit signed 32-bit, and leaving the range is
// error 6. File lengths and positions are 64-bit and need none of this.
#pragma once

#include <cstdint>
#include <string>

namespace rt {

int16_t addInt16(int16_t a, int16_t b);
int32_t addInt32(int32_t a, int32_t b);
int32_t subInt32(int32_t a, int32_t b);
// A 64-bit count (a file length, say) that must fit a signed 32-bit value.
int32_t toInt32(int64_t value);
// Rounds to the nearest whole number, a tie going to the even one; error 6 when the result
// does not fit or the value is not finite.
int32_t roundToInt32(double value);

// The leading number of a text: blanks, tabs and line feeds are skipped wherever they stand
// ("1 440" gives 1440), then an optional sign, digits with "." as decimal point and an optional
// exponent; reading stops at the first character that cannot continue the number; no number at
// all gives 0. A number too large for a double is error 6.
double leadingNumber(const std::string& text);

// Whole number as text: "-" only when negative, no blank.
std::string numberText(int64_t value);

} // namespace rt
