// What the user chose in the window for one run. It is read once, when the run starts: the
// window keeps its controls disabled while the run goes on, so nothing of it changes meanwhile.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kopierer {

class CopyControls;

struct CopyOptions {
    bool toDiskette = true; // Opt(0): the diskette in A:; otherwise Dir1's folder
    std::string folder;     // the chosen target: "A:" or Dir1's folder, drive-letter form
    // The largest part in bytes; below 1 when the user's number is too small, nothing when it is
    // too large for any size.
    std::optional<int64_t> partLimit;
    bool autorun = false; // Chk(1): autorun.inf on the first disk
    bool wipe = false;    // Chk(2): the target is emptied before each disk
    // From the command line: recovery data after the last part, on Ersatzdisketten or beside the
    // parts, and the trailer marked for it.
    bool withRecoveryData = false;
};

// The user's limit (Chk(0)) is turned into bytes here, before the run has opened anything.
CopyOptions readCopyOptions(const CopyControls& controls);

} // namespace kopierer
