// Module kopierermodul: the entry of the copy run and the two questions shared with the
// window (the abort question, the fatal error report).
#include "CopyModule.h"

#include "CopyMessages.h"
#include "CopyRun.h"
#include "runtime/Checked.h"
#include "runtime/Runtime.h"

void RunCopy(rt::Runtime& runtime, CopyControls& controls, const SourceSelection& source,
             const ReassemblerChoice& reassembler) {
    kopierer::CopyRun run(runtime, controls, source, reassembler);
    run.run();
}

bool ConfirmAbort(rt::Runtime& runtime) {
    return runtime.msgBox(copy_messages::kConfirmAbort, rt::kQuestionYesNoDefaultNo, copy_messages::kTitle) ==
           rt::kResultYes;
}

void ReportFatalError(rt::Runtime& runtime, const std::string& module, const rt::RuntimeError& error) {
    const std::string prompt = std::string(copy_messages::kFatalBefore) + module + copy_messages::kFatalAfter + "\r" +
                               error.description() + " /" + rt::numberText(error.number()) + "\r" +
                               copy_messages::kFatalPlea + "\r" + copy_messages::kSupportAddress;
    runtime.msgBox(prompt, rt::kCriticalOk, copy_messages::kTitle);
    runtime.end(1);
}
