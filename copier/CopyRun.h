// The split-and-copy run as an explicit state machine. Each state is one step, or a short
// group of steps, of the run's algorithm and keeps its label (PartStart, DiskStart,
// ChunkYield, Finish), so the code can be read side by side with the algorithm. The run
// state keeps the names of the data model. Beside the run: the options it reads once, the
// recovery (which handler covers an operation, and its dialogs), the target guard and the
// tracking of what lies on the disk.
#pragma once

#include "CopyOptions.h"
#include "DiskTracker.h"
#include "Recovery.h"
#include "SourceFile.h"
#include "TargetGuard.h"
#include "core/ReassemblerChoice.h"
#include "core/SourceSelection.h"
#include "lowio/Io.h"
#include "runtime/FileSystem.h"

#include <cstdint>
#include <memory>
#include <string>

class CopyControls;

namespace rt {
class Runtime;
class RuntimeError;
} // namespace rt

namespace kopierer {

class CopyRun {
public:
    CopyRun(rt::Runtime& runtime, CopyControls& controls, const SourceSelection& source,
            const ReassemblerChoice& reassembler);
    CopyRun(const CopyRun&) = delete;
    CopyRun& operator=(const CopyRun&) = delete;

    // Runs to the end: finished, given up by the user, or refused before writing anything.
    // A fatal report ends the program inside; an error no handler covers propagates.
    void run();

private:
    enum class Step {
        Settings,       // target folder, reassembler path, maximum part size
        OpenSource,     // the source, opened once for reading
        CheckTarget,    // the set's names must not meet the source; the wipe of a folder is confirmed
        MainLoop,       // position and remaining bytes; done when nothing remains
        PartStart,      // an open part goes on; otherwise a new disk or a new part
        DiskStart,      // the wipe, when chosen, and parts of older sets
        FirstDiskFiles, // reassembler with trailer and autorun.inf, on the first disk only
        NumberPart,     // next (or the same) part number and its name
        RemoveOldPart,  // a file already bearing the part's name goes
        OpenPart,       // the part file, opened for writing
        SizeChunk,      // chunk size cut to the part's room; a full part is closed
        ChunkYield,     // pending window events
        ReadChunk,      // ChunkSize bytes of the run's buffer, read from SourcePos
        WriteChunk,     // one write, then progress
        Finish,         // the open part is closed
        CloseSource,    // the source is closed
        Report,         // the completion message and the progress bar back to 0
        Done,
    };
    using Handler = Recovery::Handler;
    using Outcome = Recovery::Outcome;

    // Unwinds the step in progress when the run goes on elsewhere: thrown by apply and by the
    // restarts that write anew, caught by run.
    struct ContinueAt {
        Step step;
    };

    Step perform(Step step);

    Step settings();
    Step openSource();
    Step checkTarget();
    Step mainLoop();
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
    Step closeSource();
    Step report();

    // What a handler or a dialog said, made true for the run; returns only for going on or
    // trying again on the same disk.
    void apply(Outcome outcome);
    // Whether a file of the set may be written after the guard cleared its way: the source in
    // the way gives the run up; a file of this run asks for another disk (false).
    bool wayIsClear(TargetGuard::Clearing clearing);

    // Where the run meets the medium.
    // Closes the current part so that the medium holds it: on a removable medium flushed and
    // read back, on a fixed one left to the flush before the end. A failed close or a read-back
    // that differs shows the target dialog and writes the part anew, also in the disk-full path:
    // a worn diskette often fails its flush right when it fills up.
    void closePart();
    // Reads the closed part back from the medium and compares it with the source.
    void verifyPart();
    // Flushes the parts that were closed without a flush; a failure writes them anew. "Finished"
    // comes only over a folder that still holds every file of the set as the run wrote it.
    void flushClosedParts();
    // The part is closed (and deleted while it holds nothing), and the user puts in the next
    // disk or makes room. The part's own operations run under the handler that found the disk
    // full, so a failure of theirs is not handled again but leaves the run.
    [[noreturn]] void diskFull();
    // After the target dialog for a part the medium did not take: the part is written anew
    // from its first byte, or the whole disk when another disk is in the drive.
    [[noreturn]] void writeAnewAfter(const rt::RuntimeError& error);
    [[noreturn]] void writeTheDiskAnew();
    [[noreturn]] void writeAnewFrom(int32_t sourcePos);

    rt::Runtime& runtime_;
    CopyControls& controls_;
    const SourceSelection& source_;
    const ReassemblerChoice reassembler_;
    CopyOptions options_; // read at Settings

    // Run state, named as in the data model.
    std::string TargetFolder;
    std::string ReassemblerPath;
    int32_t MaxPartSize = 0;
    int32_t SourcePos = 0;
    int32_t Remaining = 0;
    int32_t ChunkSize = 0;
    int32_t PartRoom = 0;
    int16_t PartCounter = 0;
    std::string PartName;
    bool NewDiskNeeded = true;
    bool PartOpen = false;
    bool PartHasData = false;
    bool CopyDone = false;

    Step step_ = Step::Settings; // the step in progress: giving up goes on from it
    SourceFile sourceFile_;
    int partFile_ = 0;
    // A removable medium: every part is flushed as it is closed (the disk may be swapped after
    // it) and read back from the medium.
    bool removable_ = false;
    int32_t partFirstPos_ = 0; // SourcePos of the current part's first byte
    int32_t partLength_ = 0;   // bytes the current part was given
    // One buffer for the whole run rather than a fresh one per chunk: each read fills the
    // ChunkSize bytes in use completely, so nothing of an earlier chunk can get into a part.
    std::unique_ptr<lowio::ChunkBuffer> buffer_;

    Recovery recovery_;
    DiskTracker disks_;
    TargetGuard guard_;
};

} // namespace kopierer
