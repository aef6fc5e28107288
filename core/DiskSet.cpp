// The disk set's names, trailer and autorun bytes.
#include "DiskSet.h"

#include "DosPath.h"
#include "RecoveryData.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace core::diskset {

namespace {

// The reassembler as autorun.inf names it.
constexpr const char* kAutorunProgram = "QUIL.exe";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

TrailerReading damaged(std::string problem) {
    return TrailerReading{std::nullopt, std::move(problem)};
}

std::string quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::string shown = printable(text.substr(0, kShown));
    if (text.size() > kShown) {
        shown += "…";
    }
    return "„" + shown + "“";
}

// Decimal digits, at most what fits a signed 64-bit number.
std::optional<std::int64_t> parseDigits(std::string_view digits) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : digits) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
        const int digit = c - '0';
        if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string parseLengthProblem(std::string_view line) {
    if (line.empty()) {
        return "Zeile 1 ist leer; die Länge der Originaldatei fehlt.";
    }
    if (line.front() == '-' && allDigits(line.substr(1))) {
        return "Zeile 1 nennt eine negative Länge (" + quoted(line) + ").";
    }
    if (!allDigits(line)) {
        return "Zeile 1 ist keine Länge in Ziffern, sondern " + quoted(line) + ".";
    }
    return "Zeile 1 nennt eine unmöglich große Länge (" + quoted(line) + ").";
}

struct Utf8Scan {
    bool valid = true;
    // Every sequence of more than one byte starts with C2, C3 or E2.
    bool onlyCommonLeads = true;
};

// How many bytes a UTF-8 sequence with this lead byte takes; 0 for a byte no sequence starts with.
std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

void scan(std::string_view bytes, Utf8Scan& result) {
    for (std::size_t at = 0; at < bytes.size() && result.valid;) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = sequenceLength(lead);
        std::uint32_t code = lead & (0x7Fu >> length);
        result.valid = length != 0 && at + length <= bytes.size();
        for (std::size_t next = 1; result.valid && next < length; ++next) {
            const auto byte = static_cast<unsigned char>(bytes[at + next]);
            result.valid = (byte & 0xC0) == 0x80;
            code = (code << 6) | (byte & 0x3Fu);
        }
        // Overlong forms, surrogates and what lies beyond U+10FFFF are no UTF-8.
        result.valid = result.valid && !(length == 3 && code < 0x800) && !(length == 4 && code < 0x10000) &&
                       !(code >= 0xD800 && code <= 0xDFFF) && code <= 0x10FFFF;
        result.onlyCommonLeads = result.onlyCommonLeads && (lead == 0xC2 || lead == 0xC3 || lead == 0xE2);
        at += length;
    }
}

} // namespace

std::string partName(long number) {
    const long twoDigits = ((number % 100) + 100) % 100;
    std::string name = "QUILME";
    name += static_cast<char>('0' + twoDigits / 10);
    name += static_cast<char>('0' + twoDigits % 10);
    return name + ".sys";
}

bool isPartName(std::string_view name) {
    return name.size() == 12 && core::dospath::equalIgnoringCase(name.substr(0, 6), "QUILME") && isDigit(name[6]) &&
           isDigit(name[7]) && core::dospath::equalIgnoringCase(name.substr(8), ".sys");
}

bool isSetName(std::string_view name) {
    return isPartName(name) || core::dospath::equalIgnoringCase(name, kReassembler) ||
           core::dospath::equalIgnoringCase(name, kAutorun);
}

bool namesBeyondAscii(const Trailer& trailer) {
    for (const std::string* line : {&trailer.folder, &trailer.longName, &trailer.givenName}) {
        if (std::any_of(line->begin(), line->end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
            return true;
        }
    }
    return false;
}

bool namesReadAsUtf8(const Trailer& trailer, bool marked) {
    Utf8Scan result;
    for (const std::string* line : {&trailer.folder, &trailer.longName, &trailer.givenName}) {
        scan(*line, result);
    }
    return result.valid && (marked || result.onlyCommonLeads);
}

std::string trailerBytes(const Trailer& trailer) {
    std::string bytes(trailer.withRecovery ? core::recovery::markerLine(trailer.recoveryTie) : std::string());
    for (const std::string& line :
         {std::to_string(trailer.length), trailer.folder, trailer.longName, trailer.givenName}) {
        bytes += line;
        bytes += kLineEnd;
    }
    return bytes;
}

TrailerReading parseTrailer(std::string_view tail, bool wholeFile) {
    if (tail.size() < kLineEnd.size() || tail.substr(tail.size() - kLineEnd.size()) != kLineEnd) {
        return damaged("Die Datei endet nicht mit den vier Angabezeilen (die letzte Zeile endet nicht mit CR LF).");
    }
    // Ends of lines 1 to 4, each the position of its CR LF.
    std::array<std::size_t, 4> ends{};
    ends[3] = tail.size() - kLineEnd.size();
    for (int line = 2; line >= 0; --line) {
        const std::size_t nextStart = ends[static_cast<std::size_t>(line) + 1];
        const std::size_t end =
            nextStart < kLineEnd.size() ? std::string_view::npos : tail.rfind(kLineEnd, nextStart - kLineEnd.size());
        if (end == std::string_view::npos) {
            // As long long, like every number QUIL.SYS prints: one decimal conversion there, not
            // one per integer type.
            return damaged("Am Ende der Datei stehen nur " + std::to_string(static_cast<long long>(3 - line)) +
                           " statt vier mit CR LF beendete Angabezeilen.");
        }
        ends[static_cast<std::size_t>(line)] = end;
    }
    auto lineText = [&](std::size_t index) {
        const std::size_t start = ends[index - 1] + kLineEnd.size();
        return tail.substr(start, ends[index] - start);
    };

    // The build makes the shipped reassembler end with a line feed, and a program stripped later
    // still ends its section table with a NUL: the first line starts after the last of either.
    const std::size_t separator =
        ends[0] == 0 ? std::string_view::npos : tail.find_last_of(std::string_view("\n\0", 2), ends[0] - 1);
    std::size_t firstStart = 0;
    if (separator != std::string_view::npos) {
        firstStart = separator + 1;
    } else if (!wholeFile) {
        return damaged("Zeile 1 der Angaben ist unlesbar lang.");
    }
    const std::string_view first = tail.substr(firstStart, ends[0] - firstStart);

    const std::optional<std::int64_t> length = parseDigits(first);
    if (!length) {
        return damaged(parseLengthProblem(first));
    }
    Trailer trailer;
    trailer.length = *length;
    trailer.folder = std::string(lineText(1));
    trailer.longName = std::string(lineText(2));
    trailer.givenName = std::string(lineText(3));
    // The marker ends with a line feed, so a reader that knows nothing of it takes it for the
    // program's last bytes; it marks the set only where it ends exactly at line 1's start.
    const std::string_view before = tail.substr(0, firstStart);
    const std::string older = core::recovery::markerLine({});
    const std::size_t tied = older.size() + 1 + core::recovery::kTieLength;
    if (before.size() >= tied) {
        const std::string_view tie = before.substr(before.size() - tied + older.size() - 1, core::recovery::kTieLength);
        if (core::recovery::isTie(tie) && before.ends_with(core::recovery::markerLine(tie))) {
            trailer.withRecovery = true;
            trailer.recoveryTie = std::string(tie);
        }
    }
    trailer.withRecovery = trailer.withRecovery || before.ends_with(older);
    // A marker changed on its way (another line end, a tie in capitals) must not make the set
    // one without recovery data, which nothing would check.
    const std::size_t lineEnd =
        before.size() >= 2 ? before.find_last_of('\n', before.size() - 2) : std::string_view::npos;
    if (!trailer.withRecovery &&
        before.substr(lineEnd == std::string_view::npos ? 0 : lineEnd + 1).starts_with(core::recovery::kMarkerText)) {
        return damaged("Die Zeile „Splitwerk 99 mit Ersatzdiskette“ vor den Angaben ist beschädigt.");
    }
    return TrailerReading{std::move(trailer), {}};
}

std::optional<std::string> outputName(const Trailer& trailer) {
    const std::string name =
        core::dospath::lastComponent(trailer.longName.empty() ? trailer.givenName : trailer.longName, "\\/");
    if (name.empty() || name == "." || name == ".." || core::dospath::hasControlCharacter(name)) {
        return std::nullopt;
    }
    return name;
}

std::vector<std::string> autorunLines() {
    return {"[autorun]", std::string("open = ") + kAutorunProgram, "shell\\install = &Datei wieder zusammensetzen",
            std::string("shell\\install\\command = ") + kAutorunProgram};
}

std::string printable(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += (byte < 0x20 || byte == 0x7F) ? '?' : c;
    }
    return text;
}

} // namespace core::diskset
