// What the run has written and where: the files of this run (so that it never deletes or
// replaces one of them: part names repeat every 100 parts, and a user may put an earlier disk
// back), where the disk in the drive began, whether that disk is still in, the parts a fixed
// drive has not flushed yet, and reading a closed file back from the medium.
#pragma once

#include "core/Checksums.h"
#include "lowio/Io.h"
#include "runtime/FileSystem.h"
#include "runtime/RuntimeError.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rt {
class Runtime;
} // namespace rt

namespace kopierer {

class DiskTracker {
public:
    // Where the disk in the drive began, so that it can be written anew when another one turns
    // up in its place.
    struct Began {
        int64_t sourcePos = 1;
        int16_t partCounter = 0;
        bool partHasData = false;
        std::size_t writtenBefore = 0; // files of this run on earlier disks
        bool recoveryData = false;     // began with a piece of the recovery data, not a part
    };
    // A part closed without a flush.
    struct ClosedPart {
        std::string name;
        int16_t counter = 0;
        int64_t firstPos = 0;
    };
    // What a file should hold, piece by piece: size bytes from a 0-based offset, into a buffer.
    using Expected = std::function<void(int64_t offset, std::size_t size, char* into)>;

    explicit DiskTracker(rt::Runtime& runtime);

    // Everything from here on lies on the disk in the drive, until the next one is asked for.
    void diskStarts(const Began& began);
    const Began& began() const { return began_; }
    bool inUse() const { return inUse_; }
    // The files of the disk that was taken out are no longer this run's.
    void forgetTheDisk();

    // Remembers a file this run finished on the disk in the drive.
    void finishedOnThisDisk(const std::string& path);
    // A closed part as it lies on the disk now, before any dialog: a system may set its time
    // only when it is closed.
    void seeThePart(const std::string& path);
    bool isWrittenThisRun(const core::FileIdentity& identity) const;
    // The run cannot see a disk being swapped at one of its dialogs: the disk in the drive is
    // the same while it holds what this run last wrote on it (the open part, if any) unchanged.
    bool sameDiskStillIn(bool partOpen, const std::string& partName, int partFile);
    // Every file this run wrote is where it wrote it, as it wrote it.
    bool theSetIsStillThere();

    // The first flush that failed, with the part it failed on.
    struct FlushFailure {
        rt::RuntimeError error;
        ClosedPart part;
    };

    void closedWithoutFlush(ClosedPart part);
    // Brings the parts closed without a flush to the medium of folder, oldest first, until one
    // fails.
    std::optional<FlushFailure> flushClosedParts(const std::string& folder);
    // The oldest unflushed part and every part after it are written anew, and will be flushed
    // again: they are no longer this run's.
    void forgetUnflushed();

    // Reads a closed file of length bytes back from the medium; a failure or a difference is an
    // error of the medium. expectedInto is the run's chunk buffer, lent for the comparison.
    void readBack(const std::string& path, int64_t length, const Expected& expected, lowio::ChunkBuffer& expectedInto);
    void readBack(const std::string& path, const std::string& bytes, lowio::ChunkBuffer& expectedInto);
    // The same against the MD5 of what was written, for a file whose bytes would cost another
    // pass over the source to make again (a long piece of the recovery data).
    void readBack(const std::string& path, int64_t length, const core::recovery::Digest& written);
    std::string contentsOf(const std::string& path);

private:
    // A file this run wrote, as it was last seen.
    struct Anchor {
        std::string path;
        core::FileIdentity identity;
    };

    // matches(offset, bytes, size) compares what was read at an offset with what belongs there.
    using Matches = std::function<bool(int64_t offset, const char* bytes, std::size_t size)>;
    void readBackAs(const std::string& path, int64_t length, const Matches& matches);
    bool readsBackAs(int file, int64_t length, const Matches& matches);

    rt::Runtime& runtime_;
    std::vector<Anchor> written_;
    Began began_;
    bool inUse_ = false;
    std::optional<Anchor> anchor_;      // a file this run wrote on the disk in the drive
    std::vector<ClosedPart> unflushed_; // oldest first
    std::unique_ptr<lowio::ChunkBuffer> readBackBuffer_;
};

} // namespace kopierer
