// Where the copy run meets the medium: closing a part so that the medium holds it, reading it
// back, the flush before "finished", a full disk, and writing a part or a disk anew. These are
// the actions that move the run elsewhere, and with them the one place that makes a handler's
// outcome true for the run.
#pragma once

#include "Recovery.h"
#include "RunState.h"
#include "TargetGuard.h"

#include <cstdint>
#include <optional>

namespace core {
struct ReassemblerChoice;
struct SourceSelection;
} // namespace core

namespace lowio {
struct ChunkBuffer;
} // namespace lowio

namespace rt {
class Runtime;
class RuntimeError;
} // namespace rt

namespace kopierer {

class DiskTracker;
class RecoveryDataWriter;
class SourceFile;

class MediumActions {
public:
    // All of it the run's own, lent for the run's lifetime.
    MediumActions(rt::Runtime& runtime, RunState& state, Recovery& recovery, DiskTracker& disks, TargetGuard& guard,
                  SourceFile& source, RecoveryDataWriter& pieces, lowio::ChunkBuffer& buffer);
    MediumActions(const MediumActions&) = delete;
    MediumActions& operator=(const MediumActions&) = delete;

    // What a handler or a dialog said, made true for the run; returns only for going on or
    // trying again on the same disk.
    void apply(Recovery::Outcome outcome);
    // Whether a file of the set may be written after the guard cleared its way: the source in
    // the way gives the run up; a file of this run asks for another disk (false).
    bool wayIsClear(TargetGuard::Clearing clearing);

    // The first disk's own files: QUIL.EXE with the trailer and, where asked, autorun.inf, each
    // read back from a removable medium. False when the way to one of them is not clear (another
    // disk is wanted); a medium that did not take one writes the disk anew. recoveryTie: the
    // set's, for a set with recovery data.
    bool writeFirstDiskFiles(const core::ReassemblerChoice& reassembler, const core::SourceSelection& source,
                             bool autorun, const std::optional<std::string>& recoveryTie);
    // Closes the current part so that the medium holds it: on a removable medium flushed and
    // read back, on a fixed one left to the flush before the end. A failed close or a read-back
    // that differs shows the target dialog and writes the part anew, also in the disk-full path:
    // a worn diskette often fails its flush right when it fills up.
    void closePart();
    // Flushes the parts that were closed without a flush; a failure writes them anew. "Finished"
    // comes only over a folder that still holds every file of the set as the run wrote it.
    void flushClosedParts();
    // Everything since the disk began is written again, onto whatever disk is in the drive now.
    [[noreturn]] void writeTheDiskAnew();

private:
    // Reads the closed part back from the medium and compares it with the source, a piece of the
    // recovery data with the stream.
    void verifyPart();
    // The part is closed (and deleted while it holds nothing), and the user puts in the next
    // disk or makes room. The part's own operations run under the handler that found the disk
    // full, so a failure of theirs is not handled again but leaves the run.
    [[noreturn]] void diskFull();
    // After the target dialog for a part the medium did not take: the part is written anew
    // from its first byte, or the whole disk when another disk is in the drive.
    [[noreturn]] void writeAnewAfter(const rt::RuntimeError& error);
    [[noreturn]] void writeAnewFrom(int64_t sourcePos);

    rt::Runtime& runtime_;
    RunState& run_;
    Recovery& recovery_;
    DiskTracker& disks_;
    TargetGuard& guard_;
    SourceFile& source_;
    RecoveryDataWriter& pieces_;
    lowio::ChunkBuffer& buffer_;
};

} // namespace kopierer
