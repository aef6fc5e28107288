// Writers of the reassembler copy, its trailer and autorun.inf.
#include "DiskSetWriters.h"

#include "core/DiskSet.h"
#include "core/DosPath.h"
#include "core/RecoveryData.h"
#include "core/SourceSelection.h"
#include "runtime/AnsiCodePage.h"
#include "runtime/Checked.h"
#include "runtime/Runtime.h"

#include <optional>

namespace kopierer {

namespace {

// Takes a free number and opens the file with it; the number counts as taken only once the
// open has worked, so a retried open never leaks a number.
int openByNumber(rt::Runtime& runtime, const std::string& path, rt::OpenMode mode, const Attempt& attempt) {
    int number = 0;
    attempt([&] {
        const int free = runtime.files().freeFile();
        runtime.files().open(free, path, mode);
        number = free;
    });
    return number;
}

// Should a writer leave early (the run continues elsewhere), its file is closed without a word:
// it is written anew.
template <class Writes> void writeThenClose(rt::Files& files, int file, Writes&& writes) {
    try {
        writes();
    } catch (...) {
        try {
            files.close(file, rt::Flush::Later);
        } catch (const rt::RuntimeError&) {
        }
        throw;
    }
    // Not under the attempt function: a close that failed cannot be repeated into a success, so
    // its failure leaves the writer and the caller writes the file anew.
    files.close(file);
}

// The name lines as the set's reader takes them, decided once for all three: a reader reads them
// in one text.
class NameLines {
public:
    NameLines(core::TrailerText text, const core::diskset::Trailer& names) {
        if (text == core::TrailerText::AnsiCodePage) {
            const std::optional<std::string> folder = rt::toAnsiCodePage(names.folder);
            const std::optional<std::string> longName = rt::toAnsiCodePage(names.longName);
            const std::optional<std::string> givenName = rt::toAnsiCodePage(names.givenName);
            if (folder && longName && givenName) {
                const core::diskset::Trailer ansi{0, *folder, *longName, *givenName};
                // ANSI bytes that also pass for UTF-8 ("Ã¤" in cp1252) would be read as other letters.
                ansi_ = !(core::diskset::namesBeyondAscii(ansi) && core::diskset::namesReadAsUtf8(ansi, false));
            }
        }
        // A name the code page cannot hold ("Ζεύς.doc", "Łódź.zip" on a German PC) is written in
        // UTF-8 with the mark instead, as on Linux: both reassemblers read that, and nothing of the
        // name is lost. Substitutes such as "?" would restore the file under another name, one that
        // Windows does not even allow.
        marked_ = !ansi_ && core::diskset::namesBeyondAscii(names);
    }

    std::string folderLine(const std::string& folder) const {
        return (marked_ ? std::string(core::diskset::kUtf8Mark) : std::string()) + line(folder);
    }
    std::string line(const std::string& name) const {
        // Line 3 is searched anew as it is written: had the file been renamed meanwhile to a name the
        // code page cannot hold, the line stays empty, and the reader takes line 4, the name given.
        return ansi_ ? rt::toAnsiCodePage(name).value_or("") : name;
    }

private:
    bool ansi_ = false;
    bool marked_ = false;
};

} // namespace

void copyReassembler(rt::Runtime& runtime, const std::string& shipped, const std::string& reassemblerPath,
                     const Attempt& attempt) {
    attempt([&] { runtime.fileCopy(shipped, reassemblerPath); });
}

Written writeTrailer(rt::Runtime& runtime, const std::string& reassemblerPath, const core::SourceSelection& source,
                     core::TrailerText text, const Attempt& attempt, const std::optional<std::string>& recoveryTie) {
    rt::Files& files = runtime.files();
    const int file = openByNumber(runtime, reassemblerPath, rt::OpenMode::Append, attempt);
    Written written;
    const auto print = [&](const std::string& line) {
        files.printLine(file, line);
        written.bytes.append(line).append(core::diskset::kLineEnd);
    };
    std::optional<NameLines> lines;
    writeThenClose(files, file, [&] {
        if (recoveryTie) {
            // As printed: the line end comes with every printed line.
            const std::string marker = core::recovery::markerLine(*recoveryTie);
            attempt([&] { print(marker.substr(0, marker.size() - core::diskset::kLineEnd.size())); });
        }
        attempt([&] {
            const int64_t length = runtime.fileLen(source.SourcePath);
            print(rt::numberText(length));
            written.sourceLength = length;
        });
        attempt([&] {
            const core::diskset::Trailer names{
                0, source.SourceFolder, runtime.dir().nameOf(source.SourcePath, rt::kSearchNormal), source.SourceName};
            lines.emplace(text, names);
            print(lines->folderLine(source.SourceFolder));
        });
        // The file's own name, never that of another file a pattern or a letter case would match.
        attempt([&] { print(lines->line(runtime.dir().nameOf(source.SourcePath, rt::kSearchNormal))); });
        attempt([&] { print(lines->line(source.SourceName)); });
    });
    return written;
}

Written writeAutorun(rt::Runtime& runtime, const std::string& targetFolder, const Attempt& attempt) {
    rt::Files& files = runtime.files();
    const int file = openByNumber(runtime, targetFolder + core::diskset::kAutorun, rt::OpenMode::Output, attempt);
    Written written;
    writeThenClose(files, file, [&] {
        for (const std::string& line : core::diskset::autorunLines()) {
            attempt([&] { files.printLine(file, line); });
            written.bytes.append(line).append(core::diskset::kLineEnd);
        }
    });
    return written;
}

} // namespace kopierer
