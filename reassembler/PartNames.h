// The names of the part files and how to find one in a folder. Names repeat every hundred
// parts (…99, 00, 01 …), and FAT media may show them in another case (quilme01.sys).
#pragma once

#include <optional>
#include <string>

namespace quil {

// "QUILME" + the last two digits of the part number + ".sys"; parts count from 1.
std::string partFileName(long partNumber);

// The path of the regular file in folder whose name equals name ignoring ASCII case, or
// nothing. The exact spelling wins; among other spellings the alphabetically first one.
std::optional<std::string> findPart(const std::string& folder, const std::string& name);

// folder + "/" + name, without doubling a slash.
std::string joinPath(const std::string& folder, const std::string& name);

} // namespace quil
