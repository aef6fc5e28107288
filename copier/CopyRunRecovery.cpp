// The recovery handlers of the copy run: retry dialogs, halving a chunk that does not fit,
// the change of disk, and the fatal report for any other write failure.
#include "CopyRun.h"

#include "CopyMessages.h"
#include "PartSizing.h"
#include "kopierermodul.h"
#include "runtime/Runtime.h"

namespace kopierer {

void CopyRun::recover(const rt::RuntimeError& error) {
    switch (inForce_) {
    case Handler::OnSourceError:
        OnSourceError(error);
        break;
    case Handler::OnWipeError:
        OnWipeError(error);
        break;
    case Handler::OnTargetError:
        OnTargetError(error);
        break;
    case Handler::OnWriteError:
        OnWriteError(error);
        break;
    case Handler::None:
        throw error;
    }
}

void CopyRun::OnSourceError(const rt::RuntimeError&) {
    retryDialog(copy_messages::kSourceUnreadable, copy_messages::kCheckAndPressOk);
}

void CopyRun::OnWipeError(const rt::RuntimeError&) {
    retryDialog(copy_messages::kWipeFailed, copy_messages::kCheckAndPressOk);
}

void CopyRun::OnTargetError(const rt::RuntimeError&) {
    retryDialog(copy_messages::kTargetUnwritable, copy_messages::kCheckAndPressOk);
}

void CopyRun::OnWriteError(const rt::RuntimeError& error) {
    switch (error.number()) {
    case rt::kDiskFull:
        // The same source bytes are tried again in a smaller chunk; only below the smallest
        // size does the disk count as full.
        ChunkSize /= 2;
        if (ChunkSize >= kMinChunkSize) {
            throw ContinueAt{Step::ChunkYield};
        }
        diskFull();
    case rt::kDiskNotReady:
        retryDialog(copy_messages::kTargetUnwritable, copy_messages::kCheckAndClickOk);
        return;
    default:
        ReportFatalError(runtime_, "PUT", error);
    }
}

// Returns when the user answers OK (the failed operation is then tried again).
void CopyRun::retryDialog(const std::string& firstLine, const std::string& secondLine) {
    const std::string prompt = firstLine + "\r" + secondLine;
    for (;;) {
        if (message(prompt, rt::kCriticalOkCancel) == rt::kResultOk) {
            return;
        }
        if (ConfirmAbort(runtime_)) {
            abortRun();
        }
    }
}

// The part is closed (and deleted while it holds nothing); these operations belong to the
// active handler, so a failure of theirs is not handled again but leaves the run.
void CopyRun::diskFull() {
    runtime_.files().close(partFile_);
    PartOpen = false;
    if (!PartHasData) {
        runtime_.kill(PartName);
    } else {
        rememberWritten(PartName);
    }
    for (;;) {
        if (message(copy_messages::kDiskFull, rt::kInfoOkCancel) == rt::kResultOk) {
            NewDiskNeeded = true;
            throw ContinueAt{Step::PartStart};
        }
        if (ConfirmAbort(runtime_)) {
            abortRun();
        }
    }
}

void CopyRun::abortRun() {
    CopyDone = false;
    throw ContinueAt{Step::Finish};
}

// Returns when the user has put in another disk and answered OK.
void CopyRun::askForAnotherDisk() {
    for (;;) {
        if (message(copy_messages::kOwnPartsOnDisk, rt::kInfoOkCancel) == rt::kResultOk) {
            return;
        }
        if (ConfirmAbort(runtime_)) {
            abortRun();
        }
    }
}

} // namespace kopierer
