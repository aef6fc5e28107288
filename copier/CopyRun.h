// The split-and-copy run as an explicit state machine. Each state is one step, or a short
// group of steps, of the run's algorithm and keeps its label (PartStart, DiskStart,
// ChunkYield, Finish), so the code can be read side by side with the algorithm. The run
// state keeps the names of the data model; a recovery handler that continues the run
// elsewhere unwinds the current state with a ContinueAt.
#pragma once

#include "PartSizing.h"
#include "core/ReassemblerChoice.h"
#include "core/SourceSelection.h"
#include "lowio/Io.h"
#include "runtime/FileSystem.h"
#include "runtime/RuntimeError.h"
#include "runtime/TargetLock.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CopyControls;

namespace rt {
class Runtime;
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
    template <class Op> auto attemptUnder(Handler handler, Op&& op) -> decltype(op()) {
        for (;;) {
            try {
                return op();
            } catch (const rt::RuntimeError& error) {
                if (handler == Handler::None) {
                    throw;
                }
                // A handler's own operations are not covered by it: their errors leave from here.
                recover(handler, error);
            }
        }
    }

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
    // The second line of a target dialog: the usual advice, or that there is no such drive.
    std::string targetAdvice(const rt::RuntimeError& error, const char* usual) const;
    // The user is told why the run cannot go on, and the run is given up.
    [[noreturn]] void refuse(const std::string& prompt);

    // A file this run wrote, as it was last seen.
    struct Anchor {
        std::string path;
        rt::FileIdentity identity;
    };

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
    // Whether the source gives more or fewer bytes than its length says (a changing or a
    // synthetic file).
    bool sourceLengthIsWrong();
    // The run's lock on its target; false when another run writes there.
    bool lockTheTarget();
    // Takes the target where its links lead; false when that is on another drive.
    bool followTheTargetToWhereItLies();

    // Where the run meets the medium.
    // Closes the current part so that the medium holds it: on a removable medium flushed and
    // read back, on a fixed one left to the flush before the end. A failed close or a read-back
    // that differs shows the target dialog and writes the part anew, also in the disk-full path:
    // a worn diskette often fails its flush right when it fills up.
    void closePart();
    // Reads the closed part back from the medium and compares it with the source.
    void verifyPart();
    // What a file should hold, piece by piece: size bytes from a 0-based offset, into a buffer.
    using Expected = std::function<void(int32_t offset, std::size_t size, char* into)>;
    // Reads a closed file of length bytes back from the medium; a failure or a difference is an
    // error of the medium.
    void readBack(const std::string& path, int32_t length, const Expected& expected);
    bool readsBackAs(int file, int32_t length, const Expected& expected);
    // On a removable medium, a file of the first disk read back against the bytes it was given.
    void verifyFirstDiskFile(const std::string& path, const std::string& bytes);
    std::string contentsOf(const std::string& path);
    // Flushes the parts that were closed without a flush; a failure writes them anew. "Finished"
    // comes only over a folder that still holds every file of the set as the run wrote it.
    void flushClosedParts();
    // Every file this run wrote is where it wrote it, as it wrote it.
    bool theSetIsStillThere();
    // After the target dialog for a part the medium did not take: the part is written anew
    // from its first byte, or the whole disk when another disk is in the drive.
    [[noreturn]] void writeAnewAfter(const rt::RuntimeError& error);
    // After a dialog the user may have put in another disk; the run cannot see a swap, so it
    // looks at the disk: one that does not hold what this run wrote on it is a new disk.
    void checkTheDiskAfterADialog();
    bool sameDiskStillIn();
    [[noreturn]] void writeTheDiskAnew();
    [[noreturn]] void writeAnewFrom(int32_t sourcePos);
    // Closes the part without caring what the close says: it is written anew.
    void dropPart();
    // Remembers a file this run finished on the disk in the drive.
    void finishedOnThisDisk(const std::string& path);

    int message(const std::string& prompt, int style);
    static bool isOneOf(const rt::FileIdentity& identity, const std::vector<rt::FileIdentity>& identities);

    rt::Runtime& runtime_;
    CopyControls& controls_;
    const SourceSelection& source_;
    const ReassemblerChoice reassembler_;

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
    std::vector<Anchor> written_;

    std::unique_ptr<rt::TargetLock> lock_;
    std::string realTarget_; // where the chosen folder really lies
    // A removable medium: every part is flushed as it is closed (the disk may be swapped after
    // it) and read back from the medium.
    bool removable_ = false;
    int32_t partFirstPos_ = 0; // SourcePos of the current part's first byte
    int32_t partLength_ = 0;   // bytes the current part was given
    // Where the disk in the drive began, so that it can be written anew when another one turns
    // up in its place.
    struct DiskBegan {
        int32_t sourcePos = 1;
        int16_t partCounter = 0;
        bool partHasData = false;
        std::size_t writtenBefore = 0; // entries of written_ from earlier disks
    };
    DiskBegan diskBegan_;
    bool diskInUse_ = false;
    // A file this run wrote on the disk in the drive.
    std::optional<Anchor> anchor_;
    // Parts closed without a flush, oldest first.
    struct ClosedPart {
        std::string name;
        int16_t counter = 0;
        int32_t firstPos = 0;
    };
    std::vector<ClosedPart> unflushed_;
    std::unique_ptr<lowio::ChunkBuffer> readBackBuffer_;
};

} // namespace kopierer
