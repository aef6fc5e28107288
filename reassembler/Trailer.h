// Reading the trailer at the end of the reassembler's own file.
#pragma once

#include "core/DiskSet.h"

#include <string>
#include <string_view>

namespace quil {

using core::diskset::kUtf8Mark;

// Decides how the name lines are read (core::diskset::namesReadAsUtf8) and removes the mark from the
// folder line.
bool takeNameEncoding(core::diskset::Trailer& trailer);

// Reads the last bytes of file and parses the trailer in them; the names come back as this
// host's text.
core::diskset::TrailerReading readTrailer(const std::string& file);

} // namespace quil
