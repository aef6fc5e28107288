// Finding a part file in a folder: FAT media may show a name in another case (quilme01.sys).
#pragma once

#include "ReassemblerHost.h"

#include <optional>
#include <string>

namespace quil {

// The path of the regular file in folder whose name equals name ignoring ASCII case, or
// nothing. The exact spelling wins; among other spellings the alphabetically first one.
std::optional<std::string> findPart(const std::string& folder, const std::string& name);

// folder + separator + name, without doubling a separator.
using host::joinPath;

} // namespace quil
