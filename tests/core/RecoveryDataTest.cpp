// The recovery data: its checksums, the stream against its reader and rebuild, and PAR2's own
// tool over a set with it.
#include "core/RecoveryData.h"
#include "runtime/Worker.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace rc = core::recovery;
using testing_support::randomBytes;

namespace {

std::string hex(const rc::Digest& digest) {
    std::string text;
    for (std::uint8_t byte : digest) {
        text += "0123456789abcdef"[byte >> 4];
        text += "0123456789abcdef"[byte & 15];
    }
    return text;
}

TEST(RecoveryDataTest, ChecksumsGiveTheKnownValuesInAnyPieces) {
    // Lengths around the block and padding boundaries, fed in random pieces.
    const std::pair<std::string, std::string> md5Cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(119, 'a'), "8a7bd0732ed6a28ce75f6dabc90e1613"},
        {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
    };
    std::mt19937 random(7);
    for (const auto& [text, expected] : md5Cases) {
        rc::Md5 md5;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t piece = std::min<std::size_t>(random() % 200, text.size() - at);
            md5.update(text.data() + at, piece);
            at += piece;
        }
        EXPECT_EQ(hex(md5.finish()), expected) << text.size();
    }
    EXPECT_EQ(rc::crc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(rc::crc32(rc::crc32(0, "1234", 4), "56789", 5), 0xCBF43926u);
    // The placed sum: the same from pieces cut anywhere and added in any order; changed anywhere,
    // it changes: a bit, two top bits of words (two numbers whose sign changed), two neighbouring
    // bits in the same direction, two words swapped.
    const std::string bytes = randomBytes(100003, 9);
    const std::uint64_t whole = rc::placedSum(0, 0, bytes.data(), bytes.size());
    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{4096}, std::size_t{50001}}) {
        EXPECT_EQ(rc::placedSum(rc::placedSum(0, cut, bytes.data() + cut, bytes.size() - cut), 0, bytes.data(), cut),
                  whole)
            << cut;
    }
    const std::vector<std::vector<std::pair<std::size_t, char>>> changes = {
        {{77777, 0x01}},          {{7, '\x80'}, {15, '\x80'}}, {{1048583 % 100003, '\x80'}, {99999, '\x80'}},
        {{15, 0x40}, {23, 0x40}}, {{3, '\x80'}, {7, '\x80'}},  {{100002, 0x10}, {0, 0x10}},
    };
    for (const auto& change : changes) {
        std::string changed = bytes;
        for (const auto& [at, bits] : change) {
            changed[at] = static_cast<char>(changed[at] ^ bits);
        }
        EXPECT_NE(rc::placedSum(0, 0, changed.data(), changed.size()), whole) << change.front().first;
    }
    std::string swapped = bytes;
    std::swap_ranges(swapped.begin() + 800, swapped.begin() + 808, swapped.begin() + 1600);
    EXPECT_NE(rc::placedSum(0, 0, swapped.data(), swapped.size()), whole);
}

// A set made in memory: the source, its parts and the stream read in uneven pieces.
struct Set {
    std::string source;
    std::vector<rc::Part> parts;
    std::vector<std::int64_t> offsets;
    std::string stream;

    std::string tie;
    Set(const std::vector<std::int64_t>& lengths, unsigned seed, std::size_t window = rc::kWindow,
        std::string tieOfSet = "0a1b2c3d4e5f6071", core::Worker* worker = nullptr)
        : tie(std::move(tieOfSet)) {
        for (std::size_t k = 0; k < lengths.size(); ++k) {
            offsets.push_back(static_cast<std::int64_t>(source.size()));
            parts.push_back({"QUILME0" + std::to_string(k + 1) + ".sys", lengths[k]});
            source += randomBytes(static_cast<std::size_t>(lengths[k]), seed + static_cast<unsigned>(k));
        }
        rc::Stream made(parts, "Bericht.doc", static_cast<std::int64_t>(source.size()), tie, window);
        made.prepare(
            [&](std::int64_t offset, char* buffer, std::size_t size) {
                ASSERT_LE(offset + static_cast<std::int64_t>(size), static_cast<std::int64_t>(source.size()));
                std::copy_n(source.data() + offset, size, buffer);
            },
            worker);
        EXPECT_EQ(made.sourceSum(), rc::placedSum(0, 0, source.data(), source.size()));
        stream.resize(static_cast<std::size_t>(made.length()));
        std::mt19937 random(seed);
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t piece = std::min<std::size_t>(1 + random() % 50000, stream.size() - at);
            made.read(static_cast<std::int64_t>(at), stream.data() + at, piece);
            at += piece;
        }
    }
    rc::IndexReading index() const {
        return rc::readIndex([&](std::int64_t offset, char* buffer,
                                 std::size_t size) { std::copy_n(stream.data() + offset, size, buffer); },
                             static_cast<std::int64_t>(stream.size()));
    }
    // Rebuilds part lost from the others as they are in source (damaged, where a test damaged it).
    std::pair<bool, std::string> rebuild(const rc::Index& index, std::size_t lost, std::size_t window) const {
        std::string rebuilt;
        const bool good = rc::rebuild(
            index, lost,
            [&](std::int64_t offset, char* buffer, std::size_t size) {
                std::copy_n(stream.data() + offset, size, buffer);
            },
            [&](std::size_t k, std::int64_t offset, char* buffer, std::size_t size) {
                EXPECT_NE(k, lost);
                std::copy_n(source.data() + offsets[k] + offset, size, buffer);
            },
            [&](std::int64_t offset, const char* data, std::size_t size) {
                EXPECT_EQ(offset, static_cast<std::int64_t>(rebuilt.size()));
                rebuilt.append(data, size);
            },
            window);
        return {good, rebuilt};
    }
    std::string part(std::size_t k) const {
        return source.substr(static_cast<std::size_t>(offsets[k]), static_cast<std::size_t>(parts[k].length));
    }
};

TEST(RecoveryDataTest, AnyOnePartIsRebuiltFromTheOthersAndAFlippedByteIsFound) {
    const std::unique_ptr<core::Worker> worker = rt::makeWorker();
    std::mt19937 random(2203);
    for (int round = 0; round < 40; ++round) {
        // Diskette-like parts of about one length with a short last one, or lengths at random;
        // the window at times smaller than the slice, so that it is made and read in windows.
        const std::size_t count = 1 + random() % 6;
        const auto size = static_cast<std::int64_t>(1 + random() % (round % 2 ? 70000 : 3000));
        std::vector<std::int64_t> lengths;
        for (std::size_t k = 0; k < count; ++k) {
            const auto shorter = static_cast<std::int64_t>(1 + random() % static_cast<std::uint64_t>(size));
            lengths.push_back(k + 1 == count || round % 3 == 0 ? shorter : size);
        }
        if (round % 7 == 6) {
            lengths.back() = 0; // an empty part has no slice in PAR2
        }
        const std::size_t window = round % 4 == 1 ? 16 * 1024 : rc::kWindow;
        const std::string tie = round % 2 == 0 ? "0a1b2c3d4e5f6071" : "";
        const Set set(lengths, static_cast<unsigned>(round), window, tie);
        // The parts in pairs, the worker taking one of each, make the same stream.
        EXPECT_TRUE(Set(lengths, static_cast<unsigned>(round), window, tie, worker.get()).stream == set.stream)
            << round;
        const rc::IndexReading reading = set.index();
        ASSERT_TRUE(reading.index) << reading.problem;
        const rc::Index& index = *reading.index;
        EXPECT_EQ(index.fileName, "Bericht.doc");
        EXPECT_EQ(index.tie, set.tie);
        ASSERT_EQ(index.parts.size(), count);
        std::vector<rc::Digest> partSums;
        for (std::size_t k = 0; k < count; ++k) {
            EXPECT_EQ(index.parts[k].name, set.parts[k].name);
            EXPECT_EQ(index.parts[k].offset, set.offsets[k]);
            partSums.push_back(rc::md5Of(set.part(k).data(), set.part(k).size()));
            EXPECT_EQ(hex(index.parts[k].md5), hex(partSums.back()));
        }
        EXPECT_FALSE(index.wholeFileOfBytes);
        EXPECT_EQ(hex(index.wholeFile), hex(rc::wholeFileSum(partSums)));
        const std::size_t lost = random() % count;
        const auto [good, rebuilt] = set.rebuild(index, lost, round % 3 ? 16 * 1024 : rc::kWindow);
        EXPECT_TRUE(good) << round;
        EXPECT_TRUE(rebuilt == set.part(lost)) << "round " << round << ", part " << lost;
        const std::size_t other = (lost + 1) % count;
        if (other != lost && lengths[other] > 0 && lengths[lost] > 0) {
            Set damaged = set;
            // Within the lost part's length: bytes beyond it do not go into its rebuild.
            const std::int64_t at = std::min(lengths[other], lengths[lost]) / 2;
            damaged.source[static_cast<std::size_t>(damaged.offsets[other] + at)] ^= 0x10;
            EXPECT_FALSE(damaged.rebuild(index, lost, rc::kWindow).first) << round;
        }
    }
}

// A slice longer than the window has its parity made again, from the source, while the stream
// is read: a source changed since prepare is told. One that fits the window is not read again.
TEST(RecoveryDataTest, AWindowMadeAgainFromChangedBytesIsTold) {
    const std::vector<rc::Part> parts = {{"QUILME01.sys", 40000}, {"QUILME02.sys", 40000}, {"QUILME03.sys", 40000}};
    for (const std::size_t window : {std::size_t{16 * 1024}, rc::kWindow}) {
        std::string source = randomBytes(120000, 3);
        rc::Stream made(parts, "a.bin", 120000, "", window);
        made.prepare([&](std::int64_t offset, char* buffer, std::size_t size) {
            std::copy_n(source.data() + offset, size, buffer);
        });
        source[50000] ^= 1; // the second part's byte 10000, in the first window
        std::string stream(static_cast<std::size_t>(made.length()), '\0');
        made.read(0, stream.data(), stream.size());
        EXPECT_EQ(made.sourceChangedSincePrepare(), window < 40000) << window;
    }
}

struct DamageCase {
    std::string_view packet; // the damaged packet's type, or "" for the stream's first bytes
    std::size_t at;          // the flipped byte, from the type's start
    bool index, rebuilt;
};

TEST(RecoveryDataTest, ADamagedPacketIsPassedOverAndOnlyTheEssentialOnesCount) {
    using namespace std::string_view_literals;
    const DamageCase cases[] = {
        {"PAR 2.0\0FileDesc"sv, 20, true, true}, // PAR2's own, not needed for the index
        {"PAR 2.0\0Main\0\0\0\0"sv, 18, true, true},
        {"PAR 2.0\0IFSC\0\0\0\0"sv, 30, true, true},
        {"PAR 2.0\0Creator\0"sv, 16, true, true},
        {"PAR 2.0\0RecvSlic"sv, 30, true, false}, // the parity: the rebuilt part's MD5 tells
        {"Splitw99Datei2\0\0"sv, 40, false, false},
        {""sv, 3, false, false},
    };
    for (const DamageCase& c : cases) {
        Set set({5000, 5000, 777}, 11);
        const std::size_t type = c.packet.empty() ? 0 : set.stream.find(c.packet);
        ASSERT_NE(type, std::string::npos);
        set.stream[type + c.at] ^= 1;
        const rc::IndexReading reading = set.index();
        ASSERT_EQ(bool(reading.index), c.index) << c.packet << reading.problem;
        if (!c.index) {
            EXPECT_NE(reading.problem.find("beschädigt"), std::string::npos) << reading.problem;
            continue;
        }
        EXPECT_EQ(reading.index->parts[0].name, "QUILME01.sys");
        const auto [good, rebuilt] = set.rebuild(*reading.index, 0, rc::kWindow);
        EXPECT_EQ(good, c.rebuilt) << c.packet;
        EXPECT_EQ(rebuilt == set.part(0), c.rebuilt) << c.packet;
    }
    // Whether another piece could still mend a stream without an index: one cut short may go on
    // on the next Ersatzdiskette; a whole one with a damaged index, or with its second half from
    // another set, cannot.
    Set whole({5000, 5000, 777}, 11), cut = whole, damaged = whole, mixed = whole;
    cut.stream.resize(cut.stream.find("Splitw99Datei") + 40);
    damaged.stream[damaged.stream.find("Splitw99Datei") + 40] ^= 1;
    const Set other({5000, 5000, 777}, 12);
    mixed.stream.replace(mixed.stream.size() / 2, std::string::npos, other.stream.substr(other.stream.size() / 2));
    for (const auto& [stream, final, foreign] :
         {std::tuple{&cut, false, false}, std::tuple{&damaged, true, false}, std::tuple{&mixed, true, true}}) {
        const rc::IndexReading reading = stream->index();
        EXPECT_FALSE(reading.index);
        EXPECT_EQ(reading.final, final) << reading.problem;
        EXPECT_EQ(reading.foreign, foreign) << reading.problem;
    }
}

TEST(RecoveryDataTest, Par2VerifiesAndRepairsASetWithItsRecoveryData) {
#ifdef _WIN32
    GTEST_SKIP() << "par2 is a Linux program: the Linux build checks the same stream with it";
#endif
    if (!std::filesystem::exists("/usr/bin/par2")) {
        GTEST_SKIP() << "/usr/bin/par2 (Debian package par2) is not installed";
    }
    const Set set({40000, 40000, 40000, 12345}, 5);
    const testing_support::TempDir dir;
    for (std::size_t k = 0; k < set.parts.size(); ++k) {
        dir.write(set.parts[k].name, set.part(k));
    }
    dir.write("QUILME.par2", set.stream);
    const std::string log = (dir.path() / "par2.log").string();
    auto par2 = [&](const std::string& command) {
        return std::system(("cd '" + dir.str() + "' && /usr/bin/par2 " + command + " >'" + log + "' 2>&1").c_str());
    };
    // par2's own set of one recovery block of the same size holds the same packets as ours (its
    // creator's aside): the same IDs in the same order, the same checksums and the same parity.
    ASSERT_EQ(par2("create -s40000 -c1 -n1 ref.par2 QUILME0?.sys"), 0) << testing_support::readFile(log);
    const std::string reference = testing_support::readFile(dir.path() / "ref.vol0+1.par2");
    for (std::size_t at = 0; at + 64 <= reference.size();) {
        std::uint64_t length = 0;
        std::copy_n(reference.data() + at + 8, 8, reinterpret_cast<char*>(&length)); // little-endian hosts only
        ASSERT_GE(length, 64u);
        const std::string packet = reference.substr(at, static_cast<std::size_t>(length));
        EXPECT_TRUE(packet.substr(48, 16) == std::string("PAR 2.0\0Creator\0", 16) ||
                    set.stream.find(packet) != std::string::npos)
            << "par2's packet at " << at << " differs from ours";
        at += packet.size();
    }
    ASSERT_EQ(par2("verify QUILME.par2"), 0) << testing_support::readFile(log);
    std::filesystem::remove(dir.path() / "QUILME02.sys");
    ASSERT_EQ(par2("repair QUILME.par2"), 0) << testing_support::readFile(log);
    EXPECT_TRUE(testing_support::readFile(dir.path() / "QUILME02.sys") == set.part(1));
    std::string flipped = set.part(3);
    flipped[4321] ^= 0x40;
    dir.write("QUILME04.sys", flipped);
    ASSERT_NE(par2("verify QUILME.par2"), 0) << testing_support::readFile(log);
    ASSERT_EQ(par2("repair QUILME.par2"), 0) << testing_support::readFile(log);
    EXPECT_TRUE(testing_support::readFile(dir.path() / "QUILME04.sys") == set.part(3));
}

} // namespace
