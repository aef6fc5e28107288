// The recovery handlers of the copy run: retry dialogs, halving a chunk that does not fit,
// the change of disk, and the fatal report for any other write failure.
#include "CopyRun.h"

#include "CopyMessages.h"
#include "CopyModule.h"
#include "PartSizing.h"
#include "core/DosPath.h"
#include "runtime/Runtime.h"

namespace kopierer {

void CopyRun::recover(Handler handler, const rt::RuntimeError& error) {
    switch (handler) {
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
    // OK was pressed; the operation is tried again, on this disk if it is still in.
    checkTheDiskAfterADialog();
}

void CopyRun::OnSourceError(const rt::RuntimeError&) {
    askUntilOk(std::string(copy_messages::kSourceUnreadable) + "\r" + copy_messages::kCheckAndPressOk,
               rt::kCriticalOkCancel);
}

void CopyRun::OnWipeError(const rt::RuntimeError&) {
    askUntilOk(std::string(copy_messages::kWipeFailed) + "\r" + copy_messages::kCheckAndPressOk, rt::kCriticalOkCancel);
}

void CopyRun::OnTargetError(const rt::RuntimeError& error) {
    askUntilOk(std::string(copy_messages::kTargetUnwritable) + "\r" +
                   targetAdvice(error, copy_messages::kCheckAndPressOk),
               rt::kCriticalOkCancel);
}

std::string CopyRun::targetAdvice(const rt::RuntimeError& error, const char* usual) const {
    const bool noDrive = error.number() == rt::kDiskNotReady && dospath::hasDrivePrefix(TargetFolder) &&
                         !runtime_.drives().hasDevice(TargetFolder[0]);
    return noDrive ? copy_messages::kNoFloppyDrive : usual;
}

void CopyRun::OnWriteError(const rt::RuntimeError& error) {
    // However it continues the run (a retry, a smaller chunk, a new disk), it stays in force for
    // the steps that follow without a handler of their own.
    carried_ = Handler::OnWriteError;
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
        askUntilOk(std::string(copy_messages::kTargetUnwritable) + "\r" +
                       targetAdvice(error, copy_messages::kCheckAndClickOk),
                   rt::kCriticalOkCancel);
        return;
    default:
        ReportFatalError(runtime_, "PUT", error);
    }
}

void CopyRun::askUntilOk(const std::string& prompt, int style) {
    for (;;) {
        if (message(prompt, style) == rt::kResultOk) {
            return;
        }
        if (ConfirmAbort(runtime_)) {
            abortRun();
        }
    }
}

void CopyRun::refuse(const std::string& prompt) {
    message(prompt, rt::kCriticalOk);
    abortRun();
}

// The part is closed (and deleted while it holds nothing); these operations belong to the
// active handler, so a failure of theirs is not handled again but leaves the run.
void CopyRun::diskFull() {
    if (!PartHasData) {
        runtime_.files().close(partFile_);
        PartOpen = false;
        runtime_.kill(PartName);
    } else {
        closePart();
    }
    if (targetIsRemovable()) {
        askUntilOk(copy_messages::kDiskFull, rt::kInfoOkCancel);
        NewDiskNeeded = true;
    } else {
        // A folder on a fixed disk: there is no next diskette, only room the user can make.
        // The run goes on in the same folder with the next part, the wipe not repeated.
        askUntilOk(copy_messages::kFolderFull, rt::kInfoOkCancel);
        NewDiskNeeded = false;
    }
    throw ContinueAt{Step::PartStart};
}

void CopyRun::abortRun() {
    CopyDone = false;
    throw ContinueAt{Step::Finish};
}

// Returns when the user has put in another disk and answered OK.
void CopyRun::askForAnotherDisk() {
    askUntilOk(copy_messages::kOwnPartsOnDisk, rt::kInfoOkCancel);
}

} // namespace kopierer
