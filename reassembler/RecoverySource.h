// Where QUIL.EXE gets the recovery data of a set made "mit Ersatzdiskette": the stream the copy
// run wrote after the last part (QUILME.par2 beside the parts, or in pieces on the
// Ersatzdiskette(n)), read where it lies or copied off a medium that is swapped.
#pragma once

#include "Terminal.h"
#include "core/RecoveryData.h"
#include "lowio/Io.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quil {

// The stream and its index, fetched the first time they are needed: a lost part needs its
// length at once, the check at the end needs the checksums.
class RecoverySource {
public:
    // fileLength: the restored file's, which recovery data of this set describes; tie: the one
    // its QUIL.EXE carries, which the set's own recovery data carries too (empty in a set
    // written before the tie).
    RecoverySource(std::int64_t fileLength, std::string tie, std::string outputFolder, std::string workingFolder,
                   Terminal& terminal);
    ~RecoverySource();
    RecoverySource(const RecoverySource&) = delete;
    RecoverySource& operator=(const RecoverySource&) = delete;

    // The index, read from the stream beside the parts in folder or, when it is not there
    // (whole), from the Ersatzdiskette(n) the user is asked for. why is said when it is not
    // known yet. Throws Failure when the user gives up or the stream is unreadable. A stream
    // whole on one medium is read where it lies if that medium is never swapped, or staysIn
    // the drive until the end (the check after the last part); else it is copied off.
    const core::recovery::Index& index(const std::string& folder, const std::string& why, bool staysIn = false);
    // The tie of the set this QUIL.EXE belongs to (empty in a set written before the tie).
    const std::string& tie() const { return tie_; }
    // The index when it has been read already.
    const core::recovery::Index* known() const { return index_ ? &*index_ : nullptr; }
    // Reads the index without a question where the whole stream lies beside the parts on a
    // fixed disk, so that every part is placed and measured by it from the start.
    void lookBeside(const std::string& folder);
    // The stream's bytes, for the rebuild; throws Failure when they cannot be read.
    void read(std::int64_t offset, char* buffer, std::size_t size);
    core::recovery::ReadAt reader();

private:
    // What the stream read so far gives.
    enum class Reading { Found, Incomplete, Unreadable, Damaged, Foreign };
    Reading takeIndex();
    Reading readInPlace(const std::string& path);
    // Why the piece cannot be read (it is then not part of the stream); empty once appended.
    std::string appendPiece(const std::string& path, const std::string& name);
    void forget();

    std::int64_t fileLength_;
    std::string tie_;
    std::string outputFolder_;
    std::string workingFolder_;
    Terminal& terminal_;
    // The stream: QUILME.par2 itself where it lies on a fixed disk, else a hidden copy of its
    // pieces in the output folder that goes when the program ends.
    lowio::Handle stream_;
    std::int64_t length_ = 0;
    std::optional<core::recovery::Index> index_;
    std::string problem_; // why the stream read so far gives no index
};

} // namespace quil
