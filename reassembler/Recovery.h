// The recovery data of a set made "mit Ersatzdiskette", as QUIL.EXE uses it: the stream that
// the copy run wrote after the last part (QUILME.par2 beside the parts, or in pieces on the
// Ersatzdiskette(n)), and the check of the joined file against it, which rebuilds one bad part.
#pragma once

#include "Terminal.h"
#include "core/RecoveryData.h"
#include "lowio/Io.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quil {

class OutputFile;

// What the join knows of one part of a set with recovery data.
struct PartRecord {
    std::string label;   // "Diskette 3 (QUILME03.sys)" or "Teil 3 (QUILME03.sys)"
    std::int64_t at = 0; // where in the output its bytes went
    std::int64_t length = 0;
    std::string problem; // why it is bad ("fehlt", "ist nicht lesbar (...)"); empty once read whole
};

// The stream and its index, fetched the first time they are needed: a lost part needs its
// length at once, the check at the end needs the checksums.
class RecoveryStream {
public:
    // fileLength: the restored file's, which recovery data of this set describes.
    RecoveryStream(std::int64_t fileLength, std::string outputFolder, std::string workingFolder, Terminal& terminal);
    ~RecoveryStream();
    RecoveryStream(const RecoveryStream&) = delete;
    RecoveryStream& operator=(const RecoveryStream&) = delete;

    // The index, read from the stream beside the parts in folder or, when it is not there
    // (whole), from the Ersatzdiskette(n) the user is asked for. why is said when it is not
    // known yet. Throws Failure when the user gives up or the stream is unreadable. A stream
    // whole on one medium is read where it lies if that medium is never swapped, or staysIn
    // the drive until the end (the check after the last part); else it is copied off.
    const core::recovery::Index& index(const std::string& folder, const std::string& why, bool staysIn = false);
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
    enum class Reading { Found, Incomplete, Damaged, Foreign };
    Reading takeIndex();
    Reading readInPlace(const std::string& path);
    // Why the piece cannot be read (it is then not part of the stream); empty once appended.
    std::string appendPiece(const std::string& path, const std::string& name);
    void forget();

    std::int64_t fileLength_;
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

// A part of the wrong length, joined before the index was there, shifted the parts after it:
// they go to the offsets the index records (and their records say so). All of them shift the
// same way, by the one bad part, so towards the start they move first to last, towards the end
// last to first. Returns whether any moved.
bool placeAsRecorded(std::vector<PartRecord>& parts, const core::recovery::Index& index, OutputFile& output);

// The whole file's MD5 over the output's first `hashed` bytes, taken as the join wrote them in
// order; hashed < 0 where the output was not written in order.
struct InOrder {
    core::recovery::Md5 md5;
    std::int64_t hashed = -1;
};

// After the join of a set with recovery data: checks the whole file against its recorded
// checksum and rebuilds a single bad part in the output; the parts' own checksums are taken
// only when something is wrong, to name the bad part. Returns what to tell the user once the
// file has its name. Two bad parts, a rebuild or a whole-file check that fails, or recovery
// data that cannot be had: a Failure, with what could be saved kept aside under another name.
std::string checkAgainstRecoveryData(std::vector<PartRecord> parts, InOrder inOrder, const std::string& folder,
                                     RecoveryStream& recovery, OutputFile& output, Terminal& terminal);

} // namespace quil
