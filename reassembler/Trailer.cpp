// Reading the trailer back from the reassembler's own file.
#include "Trailer.h"

#include "Failure.h"
#include "lowio/Io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quil {

namespace {

diskset::TrailerReading fail(std::string problem) {
    return diskset::TrailerReading{std::nullopt, std::move(problem)};
}

} // namespace

diskset::TrailerReading readTrailer(const std::string& file) {
    const lowio::Handle fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        return fail("Die Programmdatei selbst ist nicht lesbar (" + describeErrno(errno) + ").");
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return fail("Das Ende der Programmdatei ist nicht lesbar (" + describeErrno(errno) + ").");
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    const std::size_t window = size < diskset::kTrailerWindow ? size : diskset::kTrailerWindow;
    std::string tail(window, '\0');
    std::size_t done = 0;
    const lowio::SystemError err =
        lowio::readAt(fd.get(), static_cast<std::int64_t>(size - window), tail.data(), window, done);
    if (err != 0 || done != window) {
        return fail("Das Ende der Programmdatei ist nicht lesbar (" + describeErrno(err != 0 ? err : EIO) + ").");
    }
    return diskset::parseTrailer(tail, window == size);
}

} // namespace quil
