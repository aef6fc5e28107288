// Entries of a folder that are no regular files, made the host's way, with the message the
// start-up must reject each with.
#pragma once

#include "runtime/ProgramFacts.h"

#include <filesystem>
#include <vector>

namespace app_tests {

struct RejectionCase {
    const char* name;
    std::vector<rt::ProgramArgument> arguments;
    const char* message;
};

// Creates the host's special entries in the folder C:\Daten stands for.
void makeSpecialEntries(const std::filesystem::path& daten);

// The rejections of those entries (named below C:\Daten).
std::vector<RejectionCase> specialEntryRejections();

} // namespace app_tests
