// Writers of the reassembler copy, its trailer and autorun.inf.
#include "DiskSetWriters.h"

#include "core/DiskSet.h"
#include "core/DosPath.h"
#include "core/SourceSelection.h"
#include "runtime/Runtime.h"

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

} // namespace

void copyReassembler(rt::Runtime& runtime, const std::string& reassemblerPath, const Attempt& attempt) {
    const std::string shipped = runtime.facts().shippedReassembler();
    attempt([&] { runtime.fileCopy(shipped, reassemblerPath); });
}

int32_t writeTrailer(rt::Runtime& runtime, const std::string& reassemblerPath, const SourceSelection& source,
                     const Attempt& attempt) {
    rt::Files& files = runtime.files();
    const int file = openByNumber(runtime, reassemblerPath, rt::OpenMode::Append, attempt);
    int32_t length = 0;
    writeThenClose(files, file, [&] {
        attempt([&] {
            length = runtime.fileLen(source.SourcePath);
            files.writeNumberLine(file, length);
        });
        attempt([&] {
            // The names are this program's UTF-8; a set whose names go beyond ASCII says so.
            const diskset::Trailer names{0, source.SourceFolder,
                                         runtime.dir().nameOf(source.SourcePath, rt::kSearchNormal), source.SourceName};
            const std::string mark = diskset::namesBeyondAscii(names) ? std::string(diskset::kUtf8Mark) : "";
            files.printLine(file, mark + source.SourceFolder);
        });
        // The file's own name, never that of another file a pattern or a letter case would match.
        attempt([&] { files.printLine(file, runtime.dir().nameOf(source.SourcePath, rt::kSearchNormal)); });
        attempt([&] { files.printLine(file, source.SourceName); });
    });
    return length;
}

void writeAutorun(rt::Runtime& runtime, const std::string& targetFolder, const Attempt& attempt) {
    rt::Files& files = runtime.files();
    const int file = openByNumber(runtime, targetFolder + diskset::kAutorun, rt::OpenMode::Output, attempt);
    writeThenClose(files, file, [&] {
        for (const std::string& line : diskset::autorunLines()) {
            attempt([&] { files.printLine(file, line); });
        }
    });
}

} // namespace kopierer
