// The POSIX half of the host's open file (see runtime/NativeOpenFile.h), and the identity the
// copy run compares files by, from what stat tells.
#pragma once

#include "runtime/FileSystem.h"

#include <sys/stat.h>

namespace rt::posix {

core::FileIdentity identityOf(const struct stat& info);

} // namespace rt::posix
