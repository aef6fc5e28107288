// Reading the trailer back from the reassembler's own file.
#include "Trailer.h"

#include "Failure.h"
#include "Host.h"
#include "lowio/Io.h"

#include <cstdint>

namespace quil {

namespace {

diskset::TrailerReading fail(std::string problem) {
    return diskset::TrailerReading{std::nullopt, std::move(problem)};
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

bool takeNameEncoding(diskset::Trailer& trailer) {
    const bool marked = trailer.folder.compare(0, kUtf8Mark.size(), kUtf8Mark) == 0;
    if (marked) {
        trailer.folder.erase(0, kUtf8Mark.size());
    }
    Utf8Scan result;
    for (const std::string* line : {&trailer.folder, &trailer.longName, &trailer.givenName}) {
        scan(*line, result);
    }
    return result.valid && (marked || result.onlyCommonLeads);
}

diskset::TrailerReading readTrailer(const std::string& file) {
    lowio::SystemError err = 0;
    const lowio::Handle fd = host::openForReading(file, err);
    if (!fd.valid()) {
        return fail("Die Programmdatei selbst ist nicht lesbar (" + describeError(err) + ").");
    }
    host::FileFacts facts;
    if (err = host::factsOf(fd.get(), facts); err != 0) {
        return fail("Das Ende der Programmdatei ist nicht lesbar (" + describeError(err) + ").");
    }
    const auto size = static_cast<std::size_t>(facts.size);
    const std::size_t window = size < diskset::kTrailerWindow ? size : diskset::kTrailerWindow;
    std::string tail(window, '\0');
    std::size_t done = 0;
    err = lowio::readAt(fd.get(), static_cast<std::int64_t>(size - window), tail.data(), window, done);
    if (err != 0) {
        return fail("Das Ende der Programmdatei ist nicht lesbar (" + describeError(err) + ").");
    }
    if (done != window) {
        return fail("Das Ende der Programmdatei ist nicht lesbar (Geräte-E/A-Fehler).");
    }
    diskset::TrailerReading reading = diskset::parseTrailer(tail, window == size);
    if (reading.trailer) {
        // One reading for the three name lines, as the splitter wrote them; the length line is
        // digits everywhere.
        diskset::Trailer& trailer = *reading.trailer;
        const bool marked = trailer.folder.compare(0, kUtf8Mark.size(), kUtf8Mark) == 0;
        const bool utf8 = takeNameEncoding(trailer);
        for (std::string* line : {&trailer.folder, &trailer.longName, &trailer.givenName}) {
            *line = host::fromTrailerText(*line, utf8, marked);
        }
    }
    return reading;
}

} // namespace quil
