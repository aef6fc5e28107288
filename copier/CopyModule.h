// Module kopierermodul: the split-and-copy run and the questions it asks.
#pragma once

#include "CopyQuestions.h"

namespace core {
struct ReassemblerChoice;
struct SourceSelection;
} // namespace core

namespace kopierer {

class CopyControls;

// Splits the selected source onto the target chosen in the window, with the reassembler and the
// trailer text the program chose. Returns when the copy is finished or the user gave it up; a
// fatal report ends the program inside. Errors that no handler covers propagate to the caller,
// which reports them as unhandled.
void RunCopy(rt::Runtime& runtime, CopyControls& controls, const core::SourceSelection& source,
             const core::ReassemblerChoice& reassembler);

} // namespace kopierer
