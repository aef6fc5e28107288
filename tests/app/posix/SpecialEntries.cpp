// Special entries on POSIX: a pipe, a link to a device and a name with a line feed in it.
#include "../SpecialEntries.h"

#include "app/SourceChecks.h"

#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>

namespace app_tests {

void makeSpecialEntries(const std::filesystem::path& daten) {
    std::filesystem::create_directories(daten);
    ASSERT_EQ(::mkfifo((daten / "rohr").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/null", daten / "geraet");
    std::ofstream(daten / "Zeile\nNeu.doc") << "x";
    std::ofstream(daten / "Entf\x7f.doc") << "x";
}

std::vector<RejectionCase> specialEntryRejections() {
    return {
        // a pipe would block the run for good, a device would be "copied" as nothing
        RejectionCase{"Pipe", {{"C:\\Daten\\rohr"}}, app::kNotAFile},
        RejectionCase{"Device", {{"C:\\Daten\\geraet"}}, app::kNotAFile},
        RejectionCase{"LineFeedInName", {{"C:\\Daten\\Zeile\nNeu.doc"}}, app::kControlCharacter},
        RejectionCase{"DeleteInName", {{"C:\\Daten\\Entf\x7f.doc"}}, app::kControlCharacter},
    };
}

} // namespace app_tests
