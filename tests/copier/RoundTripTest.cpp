// The property the whole disk set rests on, over random sizes, part limits and disk
// capacities: the parts joined in order give the source, none is empty, none exceeds the limit.
#include "CopyRunFixture.h"

#include "copier/PartSizing.h"
#include "support/HostFiles.h"
#include "support/copy_driver/DialogAnswerer.h"

#include <cstdio>
#include <filesystem>
#include <random>

namespace copier_tests {
namespace {

// Names that once led the run astray: patterns, other spellings of a neighbour, the set's own
// names, blanks, umlauts, a leading dash, great length. Each gets a neighbour it could be
// mistaken for.
const std::pair<std::string, std::string> kHostileNames[] = {
    {"Bericht.doc", "Bericht.txt"},
    {"bericht.DOC", "BERICHT.doc"},
    {"file?.bin", "file1.bin"},
    {"*.txt", "a.txt"},
    {"QUILME01.sys", "quilme01.SYS"},
    {"Name mit Blanks.zip", "Name.zip"},
    {"Größe ü.bin", "Grösse u.bin"},
    {"-platform", "platform"},
    {std::string(200, 'l') + ".x", "l.x"},
};

struct RoundTripCase {
    std::string name = "Bericht.doc";
    std::size_t sourceSize = 0;
    std::string limitText; // in Kbyte; empty: no limit
    int64_t capacity = 0;  // of every disk
    bool autorun = false;
    bool wipe = false;
    std::string neighbour; // a file beside the source, empty: none
};

std::string describe(const RoundTripCase& c) {
    return "name '" + c.name + "', size " + std::to_string(c.sourceSize) + ", limit '" + c.limitText +
           "' Kbyte, capacity " + std::to_string(c.capacity) + (c.autorun ? ", autorun" : "") +
           (c.wipe ? ", wipe" : "");
}

// One case in a scene of its own; every disk the run asks for is a new blank one.
void check(const RoundTripCase& c, unsigned seed) {
    copy_driver::DialogAnswerer answers;
    CopyScene scene(&answers);
    answers.onNextDisk([&scene] {
        scene.drive_.insertBlank();
        return true;
    });
    if (!c.neighbour.empty()) {
        scene.temp_.write("c/DATEN/" + c.neighbour, "a neighbour, not the source");
    }
    const std::string bytes = scene.makeSource(c.sourceSize, seed, c.name);
    int64_t limit = kopierer::kDefaultMaxPartSize;
    if (!c.limitText.empty()) {
        scene.controls_.limit(c.limitText, 0);
        limit = kopierer::maxPartSize(c.limitText, 0).value();
    }
    scene.controls_.autorun(c.autorun).wipe(c.wipe);
    scene.drive_.setCapacity(c.capacity);

    scene.run();

    for (const std::string& prompt : answers.prompts()) {
        EXPECT_TRUE(prompt == text::kDiskFull || prompt == text::kOwnParts || prompt == text::kFinished)
            << testing_support::visible(prompt);
    }
    EXPECT_TRUE(answers.sawPrompt(text::kFinished));
    ASSERT_EQ(scene.joinedParts(), bytes);
    if (!bytes.empty()) {
        EXPECT_EQ(scene.onDisk(0, "QUIL.EXE"), scene.expectedQuilExe(bytes)) << "the trailer names another file";
    }
    for (std::size_t index = 0; index < scene.drive_.disks().size(); ++index) {
        for (const std::string& name : scene.filesOn(index)) {
            if (name.rfind("QUILME", 0) == 0) {
                const auto size = std::filesystem::file_size(scene.disk(index) / name);
                EXPECT_GT(size, 0U) << name << " on disk " << index + 1;
                EXPECT_LE(size, static_cast<std::uintmax_t>(limit)) << name << " on disk " << index + 1;
            }
        }
    }
}

TEST(RoundTrip, PartsJoinedInOrderGiveTheSourceOverRandomCases) {
    // Only the pairs the host can hold side by side: Windows takes no "?" or "*" in a name and
    // keeps one file under two spellings.
    std::vector<std::pair<std::string, std::string>> names;
    {
        testing_support::TempDir probe;
        for (const auto& pair : kHostileNames) {
            if (testing_support::canHoldBoth(probe.path(), pair.first, pair.second)) {
                names.push_back(pair);
            }
        }
    }
    ASSERT_GE(names.size(), 5u);
    std::mt19937 random(20261208);
    for (unsigned seed = 1; seed <= 200; ++seed) {
        RoundTripCase c;
        const auto& [name, neighbour] = names[random() % names.size()];
        c.name = name;
        if (random() % 2 == 0) {
            c.neighbour = neighbour;
        }
        c.sourceSize = std::uniform_int_distribution<std::size_t>(0, 60000)(random);
        if (random() % 3 != 0) {
            // From a twentieth of the source to more than all of it, given as a fraction of a
            // Kbyte that rounds to the byte count.
            const auto bytes =
                std::uniform_int_distribution<std::size_t>(c.sourceSize / 20 + 1, c.sourceSize + 5000)(random);
            char number[32];
            std::snprintf(number, sizeof number, "%.6f", static_cast<double>(bytes) / 1024.0);
            c.limitText = number;
        }
        // Always room for the first-disk files and the smallest chunk.
        c.capacity = std::uniform_int_distribution<int64_t>(1200, 70000)(random);
        c.autorun = random() % 2 == 0;
        c.wipe = random() % 3 == 0;
        SCOPED_TRACE(describe(c));
        check(c, seed);
        if (HasFatalFailure()) {
            return;
        }
    }
}

} // namespace
} // namespace copier_tests
