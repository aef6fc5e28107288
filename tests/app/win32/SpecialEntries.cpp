// Special entries on Windows: the DOS device names, which name a device in every folder and need
// not be made. A pipe has no place in a folder, and no Windows name holds a control character.
#include "../SpecialEntries.h"

#include "app/SourceChecks.h"

namespace app_tests {

void makeSpecialEntries(const std::filesystem::path& daten) {
    std::filesystem::create_directories(daten);
}

std::vector<RejectionCase> specialEntryRejections() {
    return {
        // a device would be "copied" as nothing, or never end
        RejectionCase{"Device", {{"C:\\Daten\\NUL"}}, app::kNotAFile},
        RejectionCase{"Console", {{"C:\\Daten\\con.txt"}}, app::kNotAFile},
    };
}

} // namespace app_tests
