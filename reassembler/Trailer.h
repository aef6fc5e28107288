// The four lines the splitter appends to QUIL.EXE: the source's length, its folder, its long
// name and its name as given on the command line, each ended by CR LF, found by counting
// lines from the end of the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quil {

struct Trailer {
    std::int64_t length = 0;
    std::string folder;    // drive-letter form, "Z:\home\u\" or "C:\DATEN\"; may be empty
    std::string longName;  // may be empty
    std::string givenName; // as written on the splitter's command line
};

// Either the trailer or, when it is damaged, what exactly is wrong with it.
struct TrailerReading {
    std::optional<Trailer> trailer;
    std::string problem;
};

// How many bytes from the end of the file are searched for the trailer; far more than four
// lines of path and names can take.
inline constexpr std::size_t kTrailerWindow = 64 * 1024;

// Parses the trailer from the last bytes of the file. wholeFile says that tail starts at the
// file's first byte, so that the first line may begin there.
TrailerReading parseTrailer(std::string_view tail, bool wholeFile);

// Reads the last kTrailerWindow bytes of file and parses them.
TrailerReading readTrailer(const std::string& file);

// The name the restored file gets: line 3, else line 4, reduced to what follows the last "\"
// or "/". Nothing when that leaves no usable name ("", ".", "..", control characters).
std::optional<std::string> outputName(const Trailer& trailer);

// What follows the last "\" or "/".
std::string lastComponent(std::string_view name);

} // namespace quil
