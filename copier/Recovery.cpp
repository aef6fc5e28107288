// The recovery handlers of the copy run: retry dialogs, halving a chunk that does not fit, and the
// fatal report for any other write failure.
#include "Recovery.h"

#include "CopyMessages.h"
#include "CopyQuestions.h"
#include "core/DosPath.h"
#include "runtime/Runtime.h"

#include <utility>

namespace kopierer {

Recovery::Recovery(rt::Runtime& runtime, const std::string& targetFolder, Apply apply)
    : runtime_(runtime), targetFolder_(targetFolder), apply_(std::move(apply)) {}

Recovery::Outcome Recovery::handle(Handler handler, const rt::RuntimeError& error) {
    Outcome outcome = Outcome::GiveUp;
    switch (handler) {
    case Handler::OnSourceError:
        outcome = OnSourceError();
        break;
    case Handler::OnWipeError:
        outcome = OnWipeError();
        break;
    case Handler::OnTargetError:
        outcome = OnTargetError(error);
        break;
    case Handler::OnWriteError:
        inForce_ = Handler::OnWriteError;
        outcome = OnWriteError(error);
        break;
    case Handler::None:
        throw error;
    }
    // OK to a handler's dialog: the operation is tried again, on this disk if it is still in.
    return outcome == Outcome::GoOn ? Outcome::Retry : outcome;
}

Recovery::Outcome Recovery::OnSourceError() {
    return askUntilOk(std::string(messages::kSourceUnreadable) + "\r" + messages::kCheckAndPressOk,
                      rt::kCriticalOkCancel);
}

Recovery::Outcome Recovery::OnWipeError() {
    return askUntilOk(std::string(messages::kWipeFailed) + "\r" + messages::kCheckAndPressOk, rt::kCriticalOkCancel);
}

Recovery::Outcome Recovery::OnTargetError(const rt::RuntimeError& error) {
    return askUntilOk(std::string(messages::kTargetUnwritable) + "\r" + targetAdvice(error, messages::kCheckAndPressOk),
                      rt::kCriticalOkCancel);
}

Recovery::Outcome Recovery::OnWriteError(const rt::RuntimeError& error) {
    switch (error.number()) {
    case rt::kDiskFull:
        return Outcome::HalveChunk;
    case rt::kFileTooLarge:
        return Outcome::PartAtItsLimit;
    case rt::kDiskNotReady:
        return askUntilOk(std::string(messages::kTargetUnwritable) + "\r" +
                              targetAdvice(error, messages::kCheckAndClickOk),
                          rt::kCriticalOkCancel);
    default:
        kopierer::ReportFatalError(runtime_, "PUT", error);
    }
}

std::string Recovery::targetAdvice(const rt::RuntimeError& error, const char* usual) const {
    const bool noDrive = error.number() == rt::kDiskNotReady && core::dospath::hasDrivePrefix(targetFolder_) &&
                         !runtime_.drives().hasDevice(targetFolder_[0]);
    return noDrive ? messages::kNoFloppyDrive : usual;
}

Recovery::Outcome Recovery::askUntilOk(const std::string& prompt, int style) {
    for (;;) {
        if (message(prompt, style) == rt::kResultOk) {
            return Outcome::GoOn;
        }
        if (kopierer::ConfirmAbort(runtime_)) {
            return Outcome::GiveUp;
        }
    }
}

Recovery::Outcome Recovery::refuse(const std::string& prompt) {
    message(prompt, rt::kCriticalOk);
    return Outcome::GiveUp;
}

int Recovery::message(const std::string& prompt, int style) {
    return runtime_.msgBox(prompt, style, messages::kTitle);
}

} // namespace kopierer
