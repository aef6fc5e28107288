// What differs between hosts in the tests' own set-up: how a file is made hidden, which error
// code a failing medium reports, and which names the file system can hold side by side.
#pragma once

#include "lowio/Io.h"

#include <filesystem>
#include <string>

namespace testing_support {

// Makes a file hidden the host's way. On POSIX a name beginning with "." is hidden already; on
// Windows the file gets the hidden attribute.
void hideFile(const std::filesystem::path& file);

// The code the host reports for a medium that fails while it is written (EIO on POSIX).
lowio::SystemError deviceFailureCode();

// Whether two files of these names can exist side by side in a folder: a POSIX file system
// tells "bericht.doc" from "BERICHT.DOC" and takes "file?.bin", Windows does neither. Found out
// by trying in a scratch folder below `folder`, which is removed again.
bool canHoldBoth(const std::filesystem::path& folder, const std::string& first, const std::string& second);

} // namespace testing_support
