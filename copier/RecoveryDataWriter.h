// The recovery data of a set made "mit Ersatzdiskette", as the copy run makes it: a placed sum
// of the whole source, taken while the parts are written; the parts as they lie on the media;
// and, after the last part, the recovery stream built from them. The run writes the stream in
// pieces (QUILME.par2, QUILME2.par2, ...) with its own steps, as a second source: its position
// here takes the place of the source's file position, and a piece is read back against it.
#pragma once

#include "core/RecoveryData.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace core {
struct SourceSelection;
} // namespace core

namespace rt {
class Runtime;
} // namespace rt

namespace kopierer {

class CopyControls;
class Recovery;
class SourceFile;

class RecoveryDataWriter {
public:
    // All of it the run's own, lent for the run's lifetime.
    RecoveryDataWriter(rt::Runtime& runtime, Recovery& recovery, const SourceFile& source, CopyControls& controls);
    ~RecoveryDataWriter();
    RecoveryDataWriter(const RecoveryDataWriter&) = delete;
    RecoveryDataWriter& operator=(const RecoveryDataWriter&) = delete;

    // The tie of this run's set, in its QUIL.EXE's marker line and in its recovery data: made
    // anew for every run, so that Ersatzdisketten of another run do not pass for this set's.
    const std::string& tie() const { return tie_; }

    // A chunk the run read from the source at a 1-based position. The run reads a position
    // again after a retry or when it writes a disk anew: only the bytes past what was already
    // taken go into the sum.
    void sourceRead(int64_t position, const char* bytes, std::size_t size);
    // A part now on the medium as the run wrote it. A part written anew takes the place of the
    // part that began there and of every part after it.
    void partWritten(const std::string& path, int64_t firstPos, int64_t length);

    // Builds the stream from the parts as written and reads the source once for the parts'
    // checksums and the parity; source errors get the run's dialog. Then the stream is written
    // from its position 1. onSpareDisks: the pieces go on Ersatzdisketten, counted for the user.
    void prepare(const core::SourceSelection& source, int64_t fileLength, bool onSpareDisks);
    // After prepare, and after every read of the stream: whether the source gave other bytes than
    // the parts were written from (a source changed in place, its time stamp kept). Recovery data
    // from it would rebuild a part of another file.
    bool sourceChangedSinceCopied() const;
    int64_t length() const;
    // The 1-based position of the stream's next byte, as the source's file position is for the parts.
    int64_t position() const { return position_; }
    void seekTo(int64_t position) { position_ = position; }
    // size bytes of the stream from a 1-based position; the position stays where it is.
    void read(int64_t position, char* into, std::size_t size);

    // A chunk the medium took for the current piece, at an offset into it (0 begins the piece
    // anew), and the MD5 of all the piece took: the read-back compares with it rather than make
    // the stream's bytes again, which for a long slice would be another pass over the source.
    void wrote(int64_t offsetInPiece, const char* bytes, std::size_t size);
    core::recovery::Digest pieceWritten() const;

    // The file name of the piece with this counter in the target folder.
    static std::string pieceName(const std::string& folder, int16_t counter);
    // Which Ersatzdiskette comes after a full one, counted from 1.
    bool onSpareDisks() const { return onSpareDisks_; }
    int nextSpareDisk() { return ++spareDisk_; }

private:
    struct WrittenPart {
        std::string name;
        int64_t firstPos = 0;
        int64_t length = 0;
    };

    // The stream's reader of the source: bytes from a 0-based offset.
    void readSource(int64_t offset, char* into, std::size_t size);

    rt::Runtime& runtime_;
    Recovery& recovery_;
    const SourceFile& source_;
    CopyControls& controls_;

    std::uint64_t sourceSum_ = 0;
    core::recovery::Md5 piece_;
    int64_t hashedTo_ = 0; // bytes of the source in sourceSum_, from its first
    std::vector<WrittenPart> parts_;

    std::string tie_;
    std::unique_ptr<core::recovery::Stream> stream_;
    int64_t position_ = 1;
    bool onSpareDisks_ = false;
    int spareDisk_ = 1;
    // While the stream reads the source for its checksums: how much, and when the window last
    // had its turn.
    bool preparing_ = false;
    int64_t preparedBytes_ = 0;
    int64_t yieldedAt_ = 0;
};

} // namespace kopierer
