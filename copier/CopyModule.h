// Module kopierermodul: the split-and-copy run and the questions it asks.
#pragma once

#include "CopyQuestions.h"

namespace kopierer {
class CopyControls;
}
struct ReassemblerChoice;
struct SourceSelection;

// Splits the selected source onto the target chosen in the window, with the reassembler and the
// trailer text the program chose. Returns when the copy is finished or the user gave it up; a
// fatal report ends the program inside. Errors that no handler covers propagate to the caller,
// which reports them as unhandled.
void RunCopy(rt::Runtime& runtime, kopierer::CopyControls& controls, const SourceSelection& source,
             const ReassemblerChoice& reassembler);
