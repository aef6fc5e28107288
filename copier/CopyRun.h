// The split-and-copy run as an explicit state machine. Each state is one step, or a short
// group of steps, of the run: open the source, start a disk, number and open a part, move one
// chunk, finish. The places a recovery handler may continue at keep their names (PartStart,
// DiskStart, ChunkYield, Finish), and the run state keeps the names the program has always
// given its variables (SourcePos, PartCounter, NewDiskNeeded ...). Beside the run: the options it reads once, the
// recovery (which handler covers an operation, and its dialogs), the target guard, the
// tracking of what lies on the disk, the actions where the run meets the medium, and the
// recovery data of a set "mit Ersatzdiskette", which the same steps write after the last part.
#pragma once

#include "CopyOptions.h"
#include "DiskTracker.h"
#include "MediumActions.h"
#include "Recovery.h"
#include "RecoveryDataWriter.h"
#include "RunState.h"
#include "SourceFile.h"
#include "TargetGuard.h"
#include "core/ReassemblerChoice.h"
#include "core/SourceSelection.h"
#include "lowio/Io.h"
#include "runtime/FileSystem.h"

#include <cstdint>
#include <memory>
#include <string>

namespace rt {
class Runtime;
} // namespace rt

namespace kopierer {

class CopyControls;

// The run state is the run's own: its steps read and write the data names as they are, and it is
// lent to the medium actions.
class CopyRun : private RunState {
public:
    CopyRun(rt::Runtime& runtime, CopyControls& controls, const core::SourceSelection& source,
            const core::ReassemblerChoice& reassembler);
    CopyRun(const CopyRun&) = delete;
    CopyRun& operator=(const CopyRun&) = delete;

    // Runs to the end: finished, given up by the user, or refused before writing anything.
    // A fatal report ends the program inside; an error no handler covers propagates.
    void run();

private:
    using Handler = Recovery::Handler;

    Step perform(Step next);

    Step settings();
    Step openSource();
    Step checkTarget();
    Step mainLoop();
    void checkSourceLength();
    Step partStart();
    Step diskStart();
    Step firstDiskFiles();
    Step numberPart();
    Step removeOldPart();
    Step openPart();
    Step sizeChunk();
    Step chunkYield();
    Step readChunk();
    Step writeChunk();
    Step finish();
    Step startRecoveryData();
    Step closeSource();
    Step report();

    rt::Runtime& runtime_;
    CopyControls& controls_;
    const core::SourceSelection& source_;
    const core::ReassemblerChoice reassembler_;
    CopyOptions options_;              // read at Settings
    int64_t lastLengthCheckStep_ = -1; // the step of the source in which its length was last asked

    SourceFile sourceFile_;
    // One buffer for the whole run rather than a fresh one per chunk: each read fills the
    // ChunkSize bytes in use completely, so nothing of an earlier chunk can get into a part.
    std::unique_ptr<lowio::ChunkBuffer> buffer_;

    Recovery recovery_;
    DiskTracker disks_;
    TargetGuard guard_;
    RecoveryDataWriter pieces_;
    MediumActions medium_;
};

} // namespace kopierer
