#include "CopyQuestions.h"

#include "CopyMessages.h"
#include "runtime/Checked.h"
#include "runtime/Runtime.h"

namespace messages = kopierer::messages;

bool kopierer::ConfirmAbort(rt::Runtime& runtime) {
    return runtime.msgBox(messages::kConfirmAbort, rt::kQuestionYesNoDefaultNo, messages::kTitle) == rt::kResultYes;
}

void kopierer::ReportFatalError(rt::Runtime& runtime, const std::string& module, const rt::RuntimeError& error) {
    const std::string prompt = std::string(messages::kFatalBefore) + module + messages::kFatalAfter + "\r" +
                               error.description() + " /" + rt::numberText(error.number()) + "\r" +
                               messages::kFatalPlea + "\r" + messages::kSupportAddress;
    runtime.msgBox(prompt, rt::kCriticalOk, messages::kTitle);
    runtime.end(1);
}
