// Part size limit and part file names.
#include "PartSizing.h"

#include "core/DiskSet.h"
#include "runtime/Checked.h"

#include <cmath>

namespace kopierer {

int32_t maxPartSize(const std::string& zahlText, int unitListIndex) {
    const double unit = std::pow(1024.0, static_cast<double>(unitListIndex + 1));
    return rt::roundToInt32(rt::leadingNumber(zahlText) * unit);
}

std::string partFileName(const std::string& targetFolder, int16_t partCounter) {
    // The name comes from the last two digits of the 16-bit sum, which must not overflow.
    static_cast<void>(rt::addInt16(partCounter, 100));
    return targetFolder + diskset::partName(partCounter);
}

} // namespace kopierer
