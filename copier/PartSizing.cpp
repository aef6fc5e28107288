// Part size limit and part file names.
#include "PartSizing.h"

#include "runtime/Checked.h"

#include <cmath>

namespace kopierer {

int32_t maxPartSize(const std::string& zahlText, int unitListIndex) {
    const double unit = std::pow(1024.0, static_cast<double>(unitListIndex + 1));
    return rt::roundToInt32(rt::leadingNumber(zahlText) * unit);
}

std::string partFileName(const std::string& targetFolder, int16_t partCounter) {
    const std::string digits = rt::numberText(rt::addInt16(partCounter, 100));
    // Part numbers count from 1, so the sum always has at least three digits.
    const std::string lastTwo = digits.size() >= 2 ? digits.substr(digits.size() - 2) : digits;
    return targetFolder + "QUILME" + lastTwo + ".sys";
}

} // namespace kopierer
