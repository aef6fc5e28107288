// Checked arithmetic and the number conversions of the program's logic. Leaving a range is
// error 6, never a silent wrap-around: a wrapped size would split a file wrongly.
#include "Checked.h"

#include "RuntimeError.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace rt {

namespace {

template <class Int> Int checkedNarrow(int64_t value) {
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max()) {
        raise(kOverflow);
    }
    return static_cast<Int>(value);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(const std::string& text, std::size_t at) {
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return at;
}

} // namespace

int16_t addInt16(int16_t a, int16_t b) {
    return checkedNarrow<int16_t>(int64_t{a} + int64_t{b});
}

int32_t addInt32(int32_t a, int32_t b) {
    return checkedNarrow<int32_t>(int64_t{a} + int64_t{b});
}

int32_t subInt32(int32_t a, int32_t b) {
    return checkedNarrow<int32_t>(int64_t{a} - int64_t{b});
}

int32_t toInt32(int64_t value) {
    return checkedNarrow<int32_t>(value);
}

int32_t roundToInt32(double value) {
    if (!std::isfinite(value)) {
        raise(kOverflow);
    }
    // Ties to even, independent of the floating-point environment's rounding mode.
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    if (whole < -2147483648.0 || whole > 2147483647.0) {
        raise(kOverflow);
    }
    return static_cast<int32_t>(whole);
}

double leadingNumber(const std::string& spaced) {
    // Blanks, tabs and line feeds are no part of the text at all: "1 440" is 1440.
    std::string text;
    for (const char c : spaced) {
        if (c != ' ' && c != '\t' && c != '\n') {
            text += c;
        }
    }
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const std::size_t start = at;
    std::size_t end = skipDigits(text, at);
    std::size_t digits = end - start;
    if (end < text.size() && text[end] == '.') {
        const std::size_t afterPoint = skipDigits(text, end + 1);
        digits += afterPoint - end - 1;
        end = afterPoint;
    }
    if (digits == 0) {
        return 0.0;
    }
    // The exponent belongs to the number only when at least one digit follows it.
    bool negativeExponent = false;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        const bool minus = exponent < text.size() && text[exponent] == '-';
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent) {
            end = exponentEnd;
            negativeExponent = minus;
        }
    }
    // from_chars ignores the locale: a German locale must not turn "1.5" into 1.
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + end, value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Too small for a double is as good as 0; too large cannot be carried on.
        if (negativeExponent) {
            return 0.0;
        }
        raise(kOverflow);
    }
    return negative ? -value : value;
}

std::string numberText(int64_t value) {
    return std::to_string(value);
}

} // namespace rt
