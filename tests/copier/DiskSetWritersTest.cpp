// The first-disk files byte for byte: the trailer after the reassembler copy, autorun.inf,
// and a retry that repeats only the failed operation.
#include "CopyRunFixture.h"

#include "copier/DiskSetWriters.h"
#include "runtime/AnsiCodePage.h"

#include <filesystem>

namespace copier_tests {
namespace {

namespace fs = std::filesystem;
using testing_support::readFile;

constexpr const char* kOwnReassembler = "C:\\PROG\\QUIL.SYS";

class DiskSetWriters : public CopyRunFixture {
protected:
    // Runs every operation once, as with no failure.
    kopierer::Attempt once = [](const std::function<void()>& op) { op(); };

    // Writes the first disk's QUIL.EXE for the source; returns what follows the reassembler.
    std::string trailerFor(const core::SourceSelection& source, core::TrailerText text = core::TrailerText::Utf8) {
        kopierer::copyReassembler(runtime(), kOwnReassembler, "A:\\QUIL.EXE", once);
        kopierer::writeTrailer(runtime(), "A:\\QUIL.EXE", source, text, once);
        return onDisk(0, "QUIL.EXE").substr(reassemblerBytes().size());
    }
};

// The search reports the stored (long) name for line three, nothing for a hidden source (the
// default search mask does not list it); the name given on the command line (here the short
// one) is line four. A path without a folder stays relative to the working directory.
TEST_F(DiskSetWriters, TrailerHoldsLengthFolderFoundNameAndGivenName) {
    const struct {
        const char* file; // in C:\DATEN, sparse: only its length matters
        std::uintmax_t size;
        core::SourceSelection source;
        std::string trailer;
    } cases[] = {
        {"Kapitel_1_bis_6.PAK",
         6543210,
         {"C:\\DATEN\\Kapitel_1_bis_6.PAK", "C:\\DATEN\\", "KAPITE~1.PAK"},
         "6543210\r\nC:\\DATEN\\\r\nKapitel_1_bis_6.PAK\r\nKAPITE~1.PAK\r\n"},
        {".versteckt",
         3,
         {"C:\\DATEN\\.versteckt", "C:\\DATEN\\", ".versteckt"},
         "3\r\nC:\\DATEN\\\r\n\r\n.versteckt\r\n"},
        {"nackt.bin", 5, {"nackt.bin", "", "nackt.bin"}, "5\r\n\r\nnackt.bin\r\nnackt.bin\r\n"},
    };
    const fs::path previous = fs::current_path();
    fs::current_path(cRoot_ / "DATEN");
    for (const auto& c : cases) {
        fs::resize_file(temp_.write(std::string("c/DATEN/") + c.file, ""), c.size);
        EXPECT_EQ(trailerFor(c.source), c.trailer) << c.file;
        EXPECT_EQ(onDisk(0, "QUIL.EXE").substr(0, reassemblerBytes().size()), reassemblerBytes()) << c.file;
    }
    fs::current_path(previous);
}

struct NameCase {
    const char* name;
    core::TrailerText text;
    bool marked;
    std::string written; // lines 3 and 4
};

TEST_F(DiskSetWriters, NamesAreWrittenInTheCodePageOfTheReaderOrElseAsMarkedUtf8) {
    // The Windows program and a Linux one making a set for a Windows PC write the same bytes on a
    // Western European system, whose ANSI code page is Windows-1252.
    if (rt::toAnsiCodePage("ß") != "\xDF") {
        GTEST_SKIP() << "this system's ANSI code page is not Windows-1252";
    }
    const std::vector<NameCase> cases = {
        {"Bericht.doc", core::TrailerText::Utf8, false, "Bericht.doc"},
        {"Bericht.doc", core::TrailerText::AnsiCodePage, false, "Bericht.doc"},
        {"Größe.doc", core::TrailerText::Utf8, true, "Größe.doc"},
        {"Größe.doc", core::TrailerText::AnsiCodePage, false, "Gr\xF6\xDF\x65.doc"},
        {"Kosten 5€.xls", core::TrailerText::AnsiCodePage, false, "Kosten 5\x80.xls"},
        // Beyond the code page: UTF-8 with the mark, never "?".
        {"Ζεύς.doc", core::TrailerText::AnsiCodePage, true, "Ζεύς.doc"},
        {"報告.doc", core::TrailerText::AnsiCodePage, true, "報告.doc"},
        // In cp1252 these bytes (C3 A4) would be read back as UTF-8 "ä".
        {"Ã¤.doc", core::TrailerText::AnsiCodePage, true, "Ã¤.doc"},
    };
    for (const NameCase& c : cases) {
        temp_.write(std::string("c/DATEN/") + c.name, "12");
        const core::SourceSelection source{std::string("C:\\DATEN\\") + c.name, "C:\\DATEN\\", c.name};
        EXPECT_EQ(trailerFor(source, c.text), std::string("2\r\n") + (c.marked ? "\xEF\xBB\xBF" : "") +
                                                  "C:\\DATEN\\\r\n" + c.written + "\r\n" + c.written + "\r\n")
            << c.name;
    }
}

TEST_F(DiskSetWriters, AutorunIs108BytesOfAsciiAndReplacesAnOldOne) {
    temp_.write("drive/disk1/autorun.inf", std::string(500, 'x'));
    kopierer::writeAutorun(runtime(), "A:\\", once);
    // The literal is the whole file: 108 bytes, all ASCII.
    EXPECT_EQ(onDisk(0, "autorun.inf"),
              "[autorun]\r\nopen = QUIL.exe\r\nshell\\install = &Datei wieder zusammensetzen\r\n"
              "shell\\install\\command = QUIL.exe\r\n");
}

TEST_F(DiskSetWriters, ARetryRepeatsOnlyTheFailedLine) {
    makeSource(10, 1, "Bericht.doc");
    // The third write of the trailer (its third line) fails once; the attempt function, as
    // the run's handler does, repeats just that operation.
    drive_.failNext(testing_support::SimulatedDrive::Op::Write, 57, 2);
    int failures = 0;
    const kopierer::Attempt retrying = [&](const std::function<void()>& op) {
        for (;;) {
            try {
                op();
                return;
            } catch (const rt::RuntimeError& error) {
                EXPECT_EQ(error.number(), 57);
                ++failures;
            }
        }
    };
    kopierer::copyReassembler(runtime(), kOwnReassembler, "A:\\QUIL.EXE", retrying);
    kopierer::writeTrailer(runtime(), "A:\\QUIL.EXE", source_, core::TrailerText::Utf8, retrying);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(onDisk(0, "QUIL.EXE"), expectedQuilExe(std::string(10, '\0')));
}

} // namespace
} // namespace copier_tests
