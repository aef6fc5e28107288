// The state of one copy run: the steps it moves through and the data it keeps, shared by the
// run, which moves from step to step, and the actions where the run meets the medium, which
// move it elsewhere (a part closed, written anew, a full disk).
#pragma once

#include <cstdint>
#include <string>

namespace kopierer {

// Each step is one step, or a short group of steps, of the run's algorithm and keeps its label
// (PartStart, DiskStart, ChunkYield, Finish).
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
    Finish,         // the open part is closed; after the last part the recovery data, when chosen
    CloseSource,    // the source is closed
    Report,         // the completion message and the progress bar back to 0
    Done,
};

// Unwinds the step in progress when the run goes on elsewhere: thrown where an outcome is
// applied and by the restarts that write anew, caught by the run's loop.
struct ContinueAt {
    Step step;
};

struct RunState {
    // Named as in the data model.
    std::string TargetFolder;
    std::string ReassemblerPath;
    int64_t MaxPartSize = 0;
    int64_t SourcePos = 0;
    int64_t Remaining = 0;
    int32_t ChunkSize = 0; // at most kMaxChunkSize
    int64_t PartRoom = 0;
    int16_t PartCounter = 0;
    std::string PartName;
    bool NewDiskNeeded = true;
    bool PartOpen = false;
    bool PartHasData = false;
    bool CopyDone = false;

    Step step = Step::Settings; // the step in progress: giving up goes on from it
    int partFile = 0;
    // A removable medium: every part is flushed as it is closed (the disk may be swapped after
    // it) and read back from the medium.
    bool removable = false;
    int64_t partFirstPos = 0; // SourcePos of the current part's first byte
    int64_t partLength = 0;   // bytes the current part was given
    // The run writes the recovery data now, after the last part: its pieces take the parts' place
    // in the steps, and the stream the source's.
    bool recoveryData = false;
};

} // namespace kopierer
