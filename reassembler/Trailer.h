// Reading the trailer at the end of the reassembler's own file.
#pragma once

#include "core/DiskSet.h"

#include <string>
#include <string_view>

namespace quil {

using diskset::kUtf8Mark;

// Decides how the name lines are read and removes the mark from the folder line. The names are
// UTF-8 when the set is marked and they are valid UTF-8. Unmarked, they are UTF-8 only when they
// are valid UTF-8 and every character beyond ASCII starts with the byte C2, C3 or E2: that covers
// the Latin-1 letters (ä, ß, é ...) and the punctuation and currency signs (–, „, €) of a Linux
// name, while in an ANSI code page those bytes would have to be a letter like "Ã" or "â" followed
// by a symbol, which no one writes. A name like "Kunden Ä–Z.xls" in cp1252 (C4 96, valid UTF-8 for
// "Ė") therefore stays ANSI.
bool takeNameEncoding(diskset::Trailer& trailer);

// Reads the last bytes of file and parses the trailer in them; the names come back as this
// host's text.
diskset::TrailerReading readTrailer(const std::string& file);

} // namespace quil
