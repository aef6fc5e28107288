// The split-and-copy run as an explicit state machine. Each state is one step, or a short
// group of steps, of the run's algorithm and keeps its label (PartStart, DiskStart,
// ChunkYield, Finish), so the code can be read side by side with the algorithm. The run
// state keeps the names of the data model; a recovery handler that continues the run
// elsewhere unwinds the current state with a ContinueAt.
#pragma once

#include "PartSizing.h"
#include "core/SourceSelection.h"
#include "lowio/Io.h"
#include "runtime/FileSystem.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CopyControls;

namespace rt {
class Runtime;
class RuntimeError;
} // namespace rt

namespace kopierer {

class CopyRun {
public:
    CopyRun(rt::Runtime& runtime, CopyControls& controls, const SourceSelection& source);
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

    // The recovery handlers. A step that names one runs under it; a handler that continues the
    // run somewhere else stays in force until the next step that names a handler or ends a group.
    enum class Handler { None, OnSourceError, OnWipeError, OnTargetError, OnWriteError };

    // Thrown by a handler that continues the run somewhere else than the failed operation.
    struct ContinueAt {
        Step step;
    };

    Step perform(Step step);
    Step whereAbortContinues(Step current) const;

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

    bool wipeTarget();
    bool removeOlderParts();
    bool sourceNeedsTooManyParts(int32_t sourceLength) const;
    bool targetIsRemovable() const;
    bool targetIsRemovableRoot() const;
    // Names in the target folder, for the checks before anything is written; nothing when
    // the folder cannot be listed yet (the run's own steps then meet that failure).
    std::optional<std::vector<std::string>> targetNames();
    int filesTheWipeWouldDelete(const std::vector<std::string>& names);

    // Clears the way for a file of the set: every entry answering to its name (in any letter
    // case, a link or a read-only file included) is removed as itself, under OnTargetError; the
    // search runs under searchGuard (Handler::None: whatever a continuation left in force).
    // Returns false when the entry is one of this run's files and the user put in another disk.
    bool clearName(const std::string& path, Handler searchGuard);

    // Each fallible operation names the handler that covers it:
    // - guarded(h, op): op runs under h; a failure goes to h, which retries op, continues the run
    //   elsewhere or gives up. A step that names a handler ends any handler left in force.
    // - carried(op): op has no handler of its own; a failure goes to the handler that continued
    //   the run and is still in force (OnWriteError after a retry, a halved chunk or a new disk);
    //   with none in force it is an error nobody handles.
    // - carriedOr(h, op): like carried, with h when nothing is in force.
    template <class Op> auto guarded(Handler handler, Op&& op) -> decltype(op()) {
        carried_ = Handler::None;
        return attemptUnder(handler, std::forward<Op>(op));
    }
    template <class Op> auto carried(Op&& op) -> decltype(op()) { return attemptUnder(carried_, std::forward<Op>(op)); }
    template <class Op> auto carriedOr(Handler handler, Op&& op) -> decltype(op()) {
        return attemptUnder(carried_ != Handler::None ? carried_ : handler, std::forward<Op>(op));
    }
    // The end of a group of guarded steps: nothing stays in force.
    void endOfGroup() { carried_ = Handler::None; }
    template <class Op> auto attemptUnder(Handler handler, Op&& op) -> decltype(op());

    // The recovery handlers; each returns to retry or throws ContinueAt.
    void recover(Handler handler, const rt::RuntimeError& error);
    void OnSourceError(const rt::RuntimeError& error);
    void OnWipeError(const rt::RuntimeError& error);
    void OnTargetError(const rt::RuntimeError& error);
    void OnWriteError(const rt::RuntimeError& error);
    [[noreturn]] void diskFull();
    [[noreturn]] void abortRun();
    // Shows the prompt until the user answers OK; Abbrechen asks ConfirmAbort, and Yes
    // gives the run up. The one loop behind every dialog of the run that waits for the user.
    void askUntilOk(const std::string& prompt, int style);
    // The user is told why the run cannot go on, and the run is given up.
    [[noreturn]] void refuse(const std::string& prompt);

    // Files this run has finished writing, so that it never deletes or replaces one of them
    // (part names repeat every 100 parts, and a user may put an earlier disk back).
    void rememberWritten(const std::string& path);
    bool isWrittenThisRun(const rt::FileIdentity& identity) const;
    // The file being split, as its own entry and as what it is: the run never touches either.
    bool isTheSource(const rt::FileIdentity& identity) const;
    void askForAnotherDisk();
    std::vector<rt::FileIdentity> identitiesOf(const std::vector<std::string>& paths);
    std::vector<std::string> filesTheWipeKeeps() const;
    // The identity of an entry, or nothing when it has gone; other failures go to the handler.
    std::optional<rt::FileIdentity> identityIfThere(const std::string& path);
    void checkSourceUnchanged();

    int message(const std::string& prompt, int style);

    rt::Runtime& runtime_;
    CopyControls& controls_;
    const SourceSelection& source_;

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

    int sourceFile_ = 0;
    int partFile_ = 0;
    // The source as it was opened: its length is what the trailer promises, and any change of
    // it during the run makes the set worthless.
    rt::FileIdentity sourceAtOpen_;
    int32_t sourceLength_ = 0;
    std::vector<rt::FileIdentity> sourceIdentities_;
    std::unique_ptr<lowio::ChunkBuffer> buffer_; // allocated at the first chunk, used for the whole run
    // The handler a continuation left in force, until the next step that names one.
    Handler carried_ = Handler::None;
    std::vector<rt::FileIdentity> written_;
};

} // namespace kopierer
