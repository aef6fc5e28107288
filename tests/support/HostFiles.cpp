// The part of the host differences that is found out by trying.
#include "HostFiles.h"

#include "TempDir.h"

#include <fstream>
#include <system_error>

namespace testing_support {

bool canHoldBoth(const std::filesystem::path& folder, const std::string& first, const std::string& second) {
    const std::filesystem::path scratch = folder / "names-probe";
    std::error_code ignored;
    std::filesystem::create_directories(scratch, ignored);
    bool created = true;
    for (const std::string& name : {first, second}) {
        try {
            std::ofstream probe(scratch / utf8Path(name), std::ios::binary);
            created = created && static_cast<bool>(probe);
        } catch (const std::exception&) {
            created = false; // a name the host's path rules reject outright
        }
    }
    std::size_t files = 0;
    for (auto it = std::filesystem::directory_iterator(scratch, ignored); it != std::filesystem::directory_iterator();
         it.increment(ignored)) {
        ++files;
    }
    std::filesystem::remove_all(scratch, ignored);
    return created && files == 2;
}

} // namespace testing_support
