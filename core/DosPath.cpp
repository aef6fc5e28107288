// The path rules.
#include "DosPath.h"

namespace core::dospath {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        c = lowerAscii(c);
    }
    return text;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool hasDrivePrefix(std::string_view path) {
    return path.size() >= 2 && lowerAscii(path[0]) >= 'a' && lowerAscii(path[0]) <= 'z' && path[1] == ':';
}

bool isDriveRoot(std::string_view path) {
    return path.size() == 3 && hasDrivePrefix(path) && path[2] == '\\';
}

std::string withTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') {
        folder += '\\';
    }
    return folder;
}

std::string lastComponent(std::string_view path, std::string_view separators) {
    const std::size_t at = path.find_last_of(separators);
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string folderWithSeparator(std::string_view path, std::string_view separators) {
    const std::size_t at = path.find_last_of(separators);
    return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::string parentFolder(std::string_view path, char separator) {
    while (path.size() > 1 && path.back() == separator) {
        path.remove_suffix(1);
    }
    const std::size_t at = path.rfind(separator);
    if (at == std::string_view::npos) {
        return ".";
    }
    return at == 0 ? std::string(1, separator) : std::string(path.substr(0, at));
}

bool hasControlCharacter(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

} // namespace core::dospath
