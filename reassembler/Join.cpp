// The join. Each part is opened only while it is read, so that between parts nothing holds
// the medium and the user can swap the disk.
#include "Join.h"

#include "Failure.h"
#include "OutputFile.h"
#include "OutputFolder.h"
#include "PartNames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>

namespace quil {

namespace {

constexpr std::size_t kBufferSize = 128 * 1024;

// Starts on a page: the kernel copies between whole pages of its cache and this buffer, and on
// some processors such a copy is several times slower into or out of a buffer that starts
// just past a page boundary, as a large heap block does.
struct alignas(4096) Buffer {
    char bytes[kBufferSize];
};

PartIdentity identityOf(const struct stat& info) {
    return {static_cast<unsigned long>(info.st_dev), static_cast<unsigned long>(info.st_ino),
            static_cast<long>(info.st_size), static_cast<long>(info.st_mtim.tv_sec),
            static_cast<long>(info.st_mtim.tv_nsec)};
}

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
        const std::string name = partFileName(scan.parts + 1);
        const std::optional<std::string> path = findPart(folder, name);
        struct stat info {};
        if (!path || ::stat(path->c_str(), &info) != 0 || !seen.insert(identityOf(info)).second) {
            break;
        }
        if (info.st_size > length - scan.bytes) {
            scan.overlongPart = name;
            scan.bytes += info.st_size;
            break;
        }
        scan.bytes += info.st_size;
        ++scan.parts;
    }
    return scan;
}

Joiner::Joiner(std::int64_t length, std::string folder, std::string workingFolder, Terminal& terminal)
    : length_(length), folder_(std::move(folder)), workingFolder_(std::move(workingFolder)), terminal_(terminal) {}

void Joiner::run(OutputFile& output) {
    while (joined_ < length_) {
        const std::string name = partFileName(partNumber_);
        copyPart(locateNextPart(name), name, output);
        ++partNumber_;
    }
}

std::string Joiner::locateNextPart(const std::string& name) {
    for (;;) {
        if (std::optional<std::string> path = findPart(folder_, name)) {
            struct stat info {};
            if (::stat(path->c_str(), &info) == 0 && joinedParts_.count(identityOf(info)) == 0) {
                return *path;
            }
        }
        terminal_.say("");
        terminal_.say(name + " fehlt in " + printable(folder_) + "; es fehlen noch " +
                      std::to_string(length_ - joined_) + " von " + std::to_string(length_) + " Bytes.");
        const DiskAnswer answer = terminal_.askForDisk(name);
        switch (answer.kind) {
        case DiskAnswer::Kind::Abort:
            throw Failure(kStopped, "Abgebrochen: " + name + " fehlt. Es wurde keine Datei geschrieben.");
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

void Joiner::copyPart(const std::string& path, const std::string& name, OutputFile& output) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw Failure(kDamaged, name + " lässt sich nicht öffnen (" + describeErrno(errno) + ").");
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int err = errno;
        ::close(fd);
        throw Failure(kDamaged, name + " lässt sich nicht lesen (" + describeErrno(err) + ").");
    }
    // Refuse before writing a byte of a part that cannot fit.
    if (info.st_size > length_ - joined_) {
        ::close(fd);
        throw Failure(kDamaged, tooLong(name, joined_ + info.st_size, length_));
    }
    joinedParts_.insert(identityOf(info));
    const std::unique_ptr<Buffer> buffer = std::make_unique_for_overwrite<Buffer>();
    std::int64_t partBytes = 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer->bytes, kBufferSize);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int err = errno;
            ::close(fd);
            throw Failure(kDamaged, "Lesefehler in " + name + ": " + describeErrno(err) + ".");
        }
        if (got == 0) {
            break;
        }
        // The file may have grown since it was measured.
        if (got > length_ - joined_) {
            ::close(fd);
            throw Failure(kDamaged, tooLong(name, joined_ + got, length_));
        }
        try {
            output.write(buffer->bytes, static_cast<std::size_t>(got));
        } catch (...) {
            ::close(fd);
            throw;
        }
        joined_ += got;
        partBytes += got;
    }
    ::close(fd);
    terminal_.say(name + ": " + std::to_string(partBytes) + " Bytes (" + std::to_string(joined_) + " von " +
                  std::to_string(length_) + ")");
}

} // namespace quil
