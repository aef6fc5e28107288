// Part size limit and part file names.
#include "PartSizing.h"

#include "core/DiskSet.h"
#include "runtime/Checked.h"
#include "runtime/RuntimeError.h"

#include <cmath>
#include <limits>

namespace kopierer {

std::optional<int64_t> maxPartSize(const std::string& zahlText, int unitListIndex) {
    double number = 0.0;
    try {
        number = rt::leadingNumber(zahlText);
    } catch (const rt::RuntimeError& error) {
        if (error.number() != rt::kOverflow) {
            throw;
        }
        return std::nullopt; // a number too large for a double
    }
    const double product = number * std::pow(1024.0, static_cast<double>(unitListIndex + 1));
    if (!std::isfinite(product)) {
        return std::nullopt;
    }
    // Ties to even, independent of the floating-point environment's rounding mode.
    double whole = std::floor(product);
    const double fraction = product - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (whole >= kTwoTo63) {
        return std::nullopt;
    }
    if (whole < -kTwoTo63) {
        return std::numeric_limits<int64_t>::min();
    }
    return static_cast<int64_t>(whole);
}

int64_t partsFor(int64_t sourceLength, int64_t maxPartSize) {
    // Rounded up without sourceLength + maxPartSize - 1, which a 64-bit size could overflow.
    return sourceLength / maxPartSize + (sourceLength % maxPartSize != 0 ? 1 : 0);
}

TypedPartSize smallestPartSizeForAFolder(int64_t sourceLength) {
    const int64_t bytes = partsFor(sourceLength, kMostPartsInAFolder);
    constexpr int64_t kKbyte = 1024;
    constexpr int64_t kMbyte = 1024 * kKbyte;
    if (bytes < 10 * kMbyte) {
        return {partsFor(bytes, kKbyte), 0};
    }
    return {partsFor(bytes, kMbyte), 1};
}

std::string partFileName(const std::string& targetFolder, int16_t partCounter) {
    // The name comes from the last two digits of the 16-bit sum, which must not overflow.
    static_cast<void>(rt::addInt16(partCounter, 100));
    return targetFolder + core::diskset::partName(partCounter);
}

} // namespace kopierer
