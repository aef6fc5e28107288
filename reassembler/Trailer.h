// Reading the trailer at the end of the reassembler's own file.
#pragma once

#include "core/DiskSet.h"

#include <string>

namespace quil {

// Reads the last bytes of file and parses the trailer in them.
diskset::TrailerReading readTrailer(const std::string& file);

} // namespace quil
