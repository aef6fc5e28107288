// Module kopierermodul: the entry of the copy run.
#include "CopyModule.h"

#include "CopyRun.h"

void RunCopy(rt::Runtime& runtime, kopierer::CopyControls& controls, const SourceSelection& source,
             const ReassemblerChoice& reassembler) {
    kopierer::CopyRun run(runtime, controls, source, reassembler);
    run.run();
}
