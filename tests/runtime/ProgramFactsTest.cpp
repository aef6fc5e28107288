// The program's facts that do not depend on the host; each host's command line and program
// file are tested with its backend.
#include "runtime/ProgramFacts.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramFactsTest, WithoutExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"teile.exe", "teile"}, {"splitwerk", "splitwerk"}, {"a.b.c", "a.b"}, {".profile", ".profile"}, {"", ""},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(rt::withoutExtension(name), expected) << name;
    }
}

} // namespace
