// Module kopierermodul: the entry of the copy run.
#include "CopyModule.h"

#include "CopyRun.h"

void kopierer::RunCopy(rt::Runtime& runtime, kopierer::CopyControls& controls, const core::SourceSelection& source,
                       const core::ReassemblerChoice& reassembler) {
    kopierer::CopyRun run(runtime, controls, source, reassembler);
    run.run();
}
