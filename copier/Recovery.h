// The copy run's recovery in one object: which handler covers an operation, the dialogs of the
// handlers, and what the user's answer means. A handler never moves the run itself: it returns
// an outcome, and the run applies every outcome in one place.
#pragma once

#include "runtime/RuntimeError.h"

#include <functional>
#include <string>

namespace rt {
class Runtime;
} // namespace rt

namespace kopierer {

class Recovery {
public:
    enum class Handler { None, OnSourceError, OnWipeError, OnTargetError, OnWriteError };
    enum class Outcome {
        GoOn,       // OK to a dialog that repeats nothing: the caller goes on
        Retry,      // OK to a handler's dialog: the failed operation is tried again
        HalveChunk, // the chunk did not fit: the same bytes go again in half the size
        // The medium lets this one file grow no further (FAT32 at 4 GiB - 1, a size limit of the
        // process): as HalveChunk, but what no longer fits goes into the next part beside it.
        PartAtItsLimit,
        GiveUp, // the user gave the run up
    };
    using Apply = std::function<void(Outcome)>;

    // targetFolder: the run's own, read when a dialog looks at its drive; apply: the run's.
    Recovery(rt::Runtime& runtime, const std::string& targetFolder, Apply apply);

    // Which handler covers an operation. A step that names its handler ends whatever a
    // continuation left in force; OnWriteError, however it continues the run (a retry, a halved
    // chunk, a new disk), stays in force for the steps that follow without a handler of their
    // own, until the next step that names one or ends a group. With none in force, a failure of
    // such a step is an error nobody handles.
    Handler named(Handler handler) {
        inForce_ = Handler::None;
        return handler;
    }
    Handler inForce() const { return inForce_; }
    Handler inForceOr(Handler handler) const { return inForce_ != Handler::None ? inForce_ : handler; }
    void endOfGroup() { inForce_ = Handler::None; }

    // Runs op until it succeeds: a failure goes to the handler, and the run applies what it says
    // before op is tried again. Under Handler::None the failure leaves from here, as do the
    // failures of a handler's own operations.
    template <class Op> auto attempt(Handler handler, Op&& op) -> decltype(op()) {
        for (;;) {
            try {
                return op();
            } catch (const rt::RuntimeError& error) {
                if (handler == Handler::None) {
                    throw;
                }
                apply_(handle(handler, error));
            }
        }
    }

    // The target dialog on its own, for a part the medium did not take: GoOn or GiveUp.
    Outcome OnTargetError(const rt::RuntimeError& error);
    // Shows the prompt until the user answers OK (GoOn); Abbrechen asks ConfirmAbort, and Yes
    // gives the run up. The one loop behind every dialog of the run that waits for the user.
    Outcome askUntilOk(const std::string& prompt, int style);
    // The user is told why the run cannot go on: always GiveUp.
    Outcome refuse(const std::string& prompt);
    int message(const std::string& prompt, int style);

private:
    Outcome handle(Handler handler, const rt::RuntimeError& error);
    Outcome OnSourceError();
    Outcome OnWipeError();
    Outcome OnWriteError(const rt::RuntimeError& error);
    // The second line of a target dialog: the usual advice, or that there is no such drive.
    std::string targetAdvice(const rt::RuntimeError& error, const char* usual) const;

    rt::Runtime& runtime_;
    const std::string& targetFolder_;
    Apply apply_;
    Handler inForce_ = Handler::None;
};

} // namespace kopierer
