// Part size limit and part file names.
#include "PartSizing.h"

#include "runtime/Checked.h"

#include <cctype>
#include <cmath>

namespace kopierer {

int32_t maxPartSize(const std::string& zahlText, int unitListIndex) {
    const double unit = std::pow(1024.0, static_cast<double>(unitListIndex + 1));
    return rt::roundToInt32(rt::leadingNumber(zahlText) * unit);
}

namespace {

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lowerA = static_cast<char>(std::tolower(static_cast<unsigned char>(a[i])));
        const auto lowerB = static_cast<char>(std::tolower(static_cast<unsigned char>(b[i])));
        if (lowerA != lowerB) {
            return false;
        }
    }
    return true;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool isPartFileName(const std::string& name) {
    // "QUILME" + two digits + ".sys"
    return name.size() == 12 && equalIgnoringCase(name.substr(0, 6), "QUILME") && isDigit(name[6]) &&
           isDigit(name[7]) && equalIgnoringCase(name.substr(8), ".sys");
}

bool isSetFileName(const std::string& name) {
    return isPartFileName(name) || equalIgnoringCase(name, "QUIL.EXE") || equalIgnoringCase(name, "autorun.inf");
}

std::string partFileName(const std::string& targetFolder, int16_t partCounter) {
    const std::string digits = rt::numberText(rt::addInt16(partCounter, 100));
    // Part numbers count from 1, so the sum always has at least three digits.
    const std::string lastTwo = digits.size() >= 2 ? digits.substr(digits.size() - 2) : digits;
    return targetFolder + "QUILME" + lastTwo + ".sys";
}

} // namespace kopierer
