// The check of a file joined from a set made "mit Ersatzdiskette" against its recovery data,
// which rebuilds one bad part.
#pragma once

#include "RecoverySource.h"
#include "Terminal.h"
#include "core/Checksums.h"
#include "core/RecoveryData.h"

#include <cstdint>
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

// A part of the wrong length, joined before the index was there, shifted the parts after it:
// they go to the offsets the index records (and their records say so). All of them shift the
// same way, by the one bad part, so towards the start they move first to last, towards the end
// last to first. Returns whether any moved.
bool placeAsRecorded(std::vector<PartRecord>& parts, const core::recovery::Index& index, OutputFile& output);

// The MD5 of each part the join wrote whole, taken as its bytes passed: the check takes these
// rather than read the parts back. A part counts where it lies where the index puts it.
struct PartSum {
    std::int64_t at = 0;
    std::int64_t length = 0;
    core::recovery::Digest md5{};
};
struct InOrder {
    std::vector<PartSum> sums;
};

// After the join: the recovery data, asked for where the join did not need it yet. When it cannot
// be had, a Failure, with the file kept aside as unchecked.
void fetchForCheck(RecoverySource& recovery, const std::string& folder, OutputFile& output);

// After the join of a set with recovery data and fetchForCheck: checks the whole file against
// its recorded checksum and rebuilds a single bad part in the output; the parts' own checksums
// name a bad part. Returns what to tell the user once the file has its name. Two bad parts, a
// rebuild or a whole-file check that fails, or recovery data that cannot be had: a Failure,
// with what could be saved kept aside under another name.
std::string checkAgainstRecoveryData(std::vector<PartRecord> parts, InOrder inOrder, RecoverySource& recovery,
                                     OutputFile& output, Terminal& terminal);

} // namespace quil
