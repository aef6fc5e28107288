// The join. Each part is opened only while it is read, so that between parts nothing holds
// the medium and the user can swap the disk.
#include "Join.h"

#include "Failure.h"
#include "OutputFile.h"
#include "OutputFolder.h"
#include "PartNames.h"
#include "core/DiskSet.h"
#include "lowio/Io.h"

#include <memory>
#include <optional>

namespace quil {

namespace {

// How much one copy inside the system takes: large enough that the calls cost nothing, small
// enough that the early writeback (in steps of a MiB) keeps the medium busy.
constexpr std::int64_t kSystemCopyStep = 1024 * 1024;

std::string tooLong(const std::string& name, std::int64_t total, std::int64_t length) {
    return "Die Teile sind länger als die Originaldatei: mit " + name + " ergeben sie " + std::to_string(total) +
           " Bytes, die Originaldatei hatte " + std::to_string(length) +
           " Bytes. Der Diskettensatz ist beschädigt oder gehört nicht zusammen.";
}

} // namespace

FolderScan scanFolder(const std::string& folder, std::int64_t length) {
    FolderScan scan;
    std::set<PartIdentity> seen;
    while (scan.bytes < length) {
        const std::string name = core::diskset::partName(scan.parts + 1);
        const std::optional<std::string> path = findPart(folder, name);
        if (!path) {
            break;
        }
        const host::FileFacts facts = host::factsOf(*path);
        if (facts.kind == host::FileFacts::Kind::Missing || !seen.insert(facts.identity).second) {
            break;
        }
        if (facts.size > length - scan.bytes) {
            scan.overlongPart = name;
            scan.bytes += facts.size;
            break;
        }
        scan.bytes += facts.size;
        ++scan.parts;
    }
    return scan;
}

Joiner::Joiner(std::int64_t length, std::string folder, std::string workingFolder, Terminal& terminal)
    : length_(length), folder_(std::move(folder)), workingFolder_(std::move(workingFolder)), terminal_(terminal) {}

void Joiner::run(OutputFile& output) {
    while (joined_ < length_) {
        const std::string name = core::diskset::partName(partNumber_);
        copyPart(locateNextPart(name), name, output);
        ++partNumber_;
    }
}

std::string Joiner::locateNextPart(const std::string& name) {
    for (;;) {
        if (std::optional<std::string> path = findPart(folder_, name)) {
            const host::FileFacts facts = host::factsOf(*path);
            if (facts.kind != host::FileFacts::Kind::Missing && joinedParts_.count(facts.identity) == 0) {
                return *path;
            }
        }
        terminal_.say("");
        terminal_.say(whatIsMissing(name));
        const DiskAnswer answer = terminal_.askForDisk(name);
        switch (answer.kind) {
        case DiskAnswer::Kind::Abort:
            fail(kStopped, "Abgebrochen: " + whatIsMissing(name) + " Es wurde keine Datei geschrieben.");
        case DiskAnswer::Kind::Retry:
            break;
        case DiskAnswer::Kind::Folder:
            if (std::optional<std::string> folder = resolveFolder(answer.folder, workingFolder_)) {
                folder_ = *folder;
            } else {
                terminal_.say("Den Ordner „" + printable(answer.folder) + "“ gibt es nicht.");
            }
            break;
        }
    }
}

// The parts joined so far fall short of the length. The next part may be on the next disk, or
// the last part joined is shorter than the set needs: nothing in the set tells the two apart,
// so both are named.
std::string Joiner::whatIsMissing(const std::string& nextName) const {
    std::string text = nextName + " fehlt in " + printable(folder_);
    if (partNumber_ > 1) {
        text += " (oder " + core::diskset::partName(partNumber_ - 1) + " ist zu kurz)";
    }
    return text + "; es fehlen noch " + std::to_string(length_ - joined_) + " von " + std::to_string(length_) +
           " Bytes.";
}

void Joiner::copyPart(const std::string& path, const std::string& name, OutputFile& output) {
    lowio::SystemError openError = 0;
    const lowio::Handle fd = host::openForReading(path, openError);
    if (!fd.valid()) {
        fail(kDamaged, name + " lässt sich nicht öffnen (" + describeError(openError) + ").");
    }
    host::FileFacts info;
    if (const lowio::SystemError err = host::factsOf(fd.get(), info); err != 0) {
        fail(kDamaged, name + " lässt sich nicht lesen (" + describeError(err) + ").");
    }
    if (info.kind != host::FileFacts::Kind::Regular) {
        fail(kDamaged, name + " ist keine gewöhnliche Datei.");
    }
    // Refuse before writing a byte of a part that cannot fit.
    if (info.size > length_ - joined_) {
        fail(kDamaged, tooLong(name, joined_ + info.size, length_));
    }
    joinedParts_.insert(info.identity);
    const std::unique_ptr<lowio::ChunkBuffer> buffer = std::make_unique_for_overwrite<lowio::ChunkBuffer>();
    std::int64_t partBytes = 0;
    // Copied inside the system while it goes, at most up to the set's length; reading and
    // writing take over where it stops, and they alone tell the end of a part (a file in /proc
    // copies as empty) and a part that gives more than the set's length.
    bool inSystem = true;
    for (;;) {
        const std::int64_t room = length_ - joined_;
        if (inSystem && room > 0) {
            const auto step = static_cast<std::size_t>(room < kSystemCopyStep ? room : kSystemCopyStep);
            const auto copied = static_cast<std::int64_t>(output.copyInSystem(fd.get(), step));
            inSystem = copied > 0;
            joined_ += copied;
            partBytes += copied;
            continue;
        }
        std::size_t got = 0;
        if (const lowio::SystemError err = lowio::readSome(fd.get(), buffer->bytes, sizeof buffer->bytes, got);
            err != 0) {
            fail(kDamaged, "Lesefehler in " + name + ": " + describeError(err) + ".");
        }
        if (got == 0) {
            break;
        }
        // The file may have grown since it was measured: never more than the set's length.
        if (static_cast<std::int64_t>(got) > room) {
            fail(kDamaged, tooLong(name, joined_ + static_cast<std::int64_t>(got), length_));
        }
        output.write(buffer->bytes, got);
        joined_ += static_cast<std::int64_t>(got);
        partBytes += static_cast<std::int64_t>(got);
    }
    // A part that gives fewer bytes than it is long was cut short while it was read (or the
    // medium lost its end): the set cannot be restored from it.
    if (partBytes < info.size) {
        fail(kDamaged, name + " ist zu kurz: gelesen wurden nur " + std::to_string(partBytes) + " von " +
                           std::to_string(info.size) + " Bytes.");
    }
    terminal_.say(name + ": " + std::to_string(partBytes) + " Bytes (" + std::to_string(joined_) + " von " +
                  std::to_string(length_) + ")");
}

} // namespace quil
