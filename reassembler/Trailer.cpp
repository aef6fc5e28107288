// Reading the trailer back from the reassembler's own file.
#include "Trailer.h"

#include "Failure.h"
#include "Host.h"
#include "lowio/Io.h"

namespace quil {

namespace {

diskset::TrailerReading fail(std::string problem) {
    return diskset::TrailerReading{std::nullopt, std::move(problem)};
}

} // namespace

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
        // The names are the splitter's host's text; the length line is digits everywhere.
        reading.trailer->folder = host::fromTrailerText(reading.trailer->folder);
        reading.trailer->longName = host::fromTrailerText(reading.trailer->longName);
        reading.trailer->givenName = host::fromTrailerText(reading.trailer->givenName);
    }
    return reading;
}

} // namespace quil
