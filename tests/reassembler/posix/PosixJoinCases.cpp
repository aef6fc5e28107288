// Join failures only Linux can stage.
#include "../JoinCases.h"

#include <filesystem>

namespace quil_test {

std::vector<JoinFailureCase> hostJoinFailureCases() {
    return {{"PartGrownWhileRead", [](auto&) {}, 0,
             [](const testing_support::TempDir& dir) -> std::int64_t {
                 // The kernel lists this file with length 0, yet reading it gives its text.
                 std::filesystem::create_symlink("/proc/self/status", dir.path() / "set" / "QUILME01.sys");
                 return 10;
             },
             "länger als die Originaldatei"},
            {"PartShorterThanListed", [](auto&) {}, 0,
             [](const testing_support::TempDir& dir) -> std::int64_t {
                 // Listed with 4096 bytes, yet it reads as a few digits: the part must be named.
                 std::filesystem::create_symlink("/sys/kernel/uevent_seqnum", dir.path() / "set" / "QUILME01.sys");
                 return 10000;
             },
             "QUILME01.sys ist zu kurz: gelesen wurden nur"}};
}

} // namespace quil_test
