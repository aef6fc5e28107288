// The two questions of the copy run that the window asks too: whether the user really gives the
// run up, and the report of an error the run cannot go on after.
#pragma once

#include <string>

namespace rt {
class Runtime;
class RuntimeError;
} // namespace rt

namespace kopierer {

// "Wollen Sie den Vorgang wirklich abbrechen?" with Yes and No; true for Yes.
bool ConfirmAbort(rt::Runtime& runtime);

// Shows the error report naming the failed operation and ends the program.
[[noreturn]] void ReportFatalError(rt::Runtime& runtime, const std::string& module, const rt::RuntimeError& error);

} // namespace kopierer
