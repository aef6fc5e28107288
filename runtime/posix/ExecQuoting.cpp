// Quoting a program path for the places that start it: the Exec key of a desktop entry and
// a POSIX shell script. A path with blanks, quotes, "$" or backslashes must arrive intact.
#include "runtime/posix/XdgSendTo.h"

namespace rt {

std::string desktopExecQuote(const std::string& argument) {
    // First the Exec rules: inside double quotes, ", `, $ and \ are escaped with a backslash,
    // and a literal "%" is written "%%" so that it is not taken for a field code.
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '%') {
            quoted += "%%";
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    // Then the value is a string of the desktop file, where the backslash itself is escaped.
    return desktopString(quoted);
}

std::string desktopString(const std::string& text) {
    std::string value;
    for (char c : text) {
        switch (c) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
        }
    }
    return value;
}

std::string shellQuote(const std::string& argument) {
    // Nothing is special inside single quotes except the single quote itself.
    std::string quoted = "'";
    for (char c : argument) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    quoted += '\'';
    return quoted;
}

} // namespace rt
