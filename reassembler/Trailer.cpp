// Reading the trailer back from the reassembler's own file.
#include "Trailer.h"

#include "Failure.h"
#include "ReassemblerHost.h"
#include "lowio/Io.h"

namespace quil {

namespace {

core::diskset::TrailerReading fail(std::string problem) {
    return core::diskset::TrailerReading{std::nullopt, std::move(problem)};
}

} // namespace

bool takeNameEncoding(core::diskset::Trailer& trailer) {
    const bool marked = trailer.folder.compare(0, kUtf8Mark.size(), kUtf8Mark) == 0;
    if (marked) {
        trailer.folder.erase(0, kUtf8Mark.size());
    }
    return core::diskset::namesReadAsUtf8(trailer, marked);
}

core::diskset::TrailerReading readTrailer(const std::string& file) {
    lowio::SystemError err = 0;
    const lowio::Handle fd = host::openForReading(file, err);
    if (!fd.valid()) {
        return fail("Die Programmdatei selbst ist nicht lesbar (" + describeError(err) + ").");
    }
    host::FileFacts facts;
    if (err = host::factsOf(fd.get(), facts); err != 0) {
        return fail("Das Ende der Programmdatei ist nicht lesbar (" + describeError(err) + ").");
    }
    // In 64 bits: a program file of 4 GiB would wrap a 32-bit size_t into a window that is not its end.
    constexpr auto kWindow = static_cast<std::int64_t>(core::diskset::kTrailerWindow);
    const std::int64_t size = facts.size;
    const auto window = static_cast<std::size_t>(size < kWindow ? size : kWindow);
    std::string tail(window, '\0');
    std::size_t done = 0;
    err = lowio::readAt(fd.get(), size - static_cast<std::int64_t>(window), tail.data(), window, done);
    if (err != 0) {
        return fail("Das Ende der Programmdatei ist nicht lesbar (" + describeError(err) + ").");
    }
    if (done != window) {
        return fail("Das Ende der Programmdatei ist nicht lesbar (Geräte-E/A-Fehler).");
    }
    core::diskset::TrailerReading reading =
        core::diskset::parseTrailer(tail, static_cast<std::int64_t>(window) == size);
    if (reading.trailer) {
        // One reading for the three name lines, as the splitter wrote them; the length line is
        // digits everywhere.
        core::diskset::Trailer& trailer = *reading.trailer;
        const bool marked = trailer.folder.compare(0, kUtf8Mark.size(), kUtf8Mark) == 0;
        const bool utf8 = takeNameEncoding(trailer);
        for (std::string* line : {&trailer.folder, &trailer.longName, &trailer.givenName}) {
            *line = host::fromTrailerText(*line, utf8, marked);
        }
    }
    return reading;
}

} // namespace quil
