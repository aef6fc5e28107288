#include "MountTable.h"

#include <fstream>
#include <sstream>

namespace lowio {

namespace {

// The mounts table writes blanks, tabs, newlines and backslashes as octal escapes ("\040").
std::string decodeMountField(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
            field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

} // namespace

std::vector<MountEntry> readMounts(const std::string& mountsFile) {
    std::vector<MountEntry> mounts;
    std::ifstream in(mountsFile);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device;
        std::string mountPoint;
        if (fields >> device >> mountPoint) {
            mounts.push_back({decodeMountField(device), decodeMountField(mountPoint)});
        }
    }
    return mounts;
}

} // namespace lowio
