// Reading the trailer back. The reassembler's own bytes come before the first line, so that
// line starts after the last line feed or NUL byte before it: the build makes QUIL.SYS end
// with a line feed, and a binary stripped later still ends its section table with a NUL.
#include "Trailer.h"

#include "Failure.h"
#include "lowio/Io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <limits>

namespace quil {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

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
        if (c < '0' || c > '9') {
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

} // namespace

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
            return damaged("Am Ende der Datei stehen nur " + std::to_string(3 - line) +
                           " statt vier mit CR LF beendete Angabezeilen.");
        }
        ends[static_cast<std::size_t>(line)] = end;
    }
    auto lineText = [&](std::size_t index) {
        const std::size_t start = ends[index - 1] + kLineEnd.size();
        return tail.substr(start, ends[index] - start);
    };

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
    return TrailerReading{std::move(trailer), {}};
}

TrailerReading readTrailer(const std::string& file) {
    const lowio::Handle fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        return damaged("Die Programmdatei selbst ist nicht lesbar (" + describeErrno(errno) + ").");
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return damaged("Das Ende der Programmdatei ist nicht lesbar (" + describeErrno(errno) + ").");
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    const std::size_t window = size < kTrailerWindow ? size : kTrailerWindow;
    std::string tail(window, '\0');
    std::size_t done = 0;
    const lowio::SystemError err =
        lowio::readAt(fd.get(), static_cast<std::int64_t>(size - window), tail.data(), window, done);
    if (err != 0 || done != window) {
        return damaged("Das Ende der Programmdatei ist nicht lesbar (" + describeErrno(err != 0 ? err : EIO) + ").");
    }
    return parseTrailer(tail, window == size);
}

std::string lastComponent(std::string_view name) {
    const std::size_t slash = name.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

std::optional<std::string> outputName(const Trailer& trailer) {
    const std::string name = lastComponent(trailer.longName.empty() ? trailer.givenName : trailer.longName);
    if (name.empty() || name == "." || name == "..") {
        return std::nullopt;
    }
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return std::nullopt;
        }
    }
    return name;
}

} // namespace quil
