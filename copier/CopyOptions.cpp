#include "CopyOptions.h"

#include "CopyControls.h"
#include "PartSizing.h"

namespace kopierer {

CopyOptions readCopyOptions(const CopyControls& controls) {
    CopyOptions options;
    options.toDiskette = controls.optValue(0);
    options.folder = options.toDiskette ? std::string("A:") : controls.dir1Path();
    options.partLimit =
        controls.chkValue(0) != 0 ? maxPartSize(controls.zahlText(), controls.unitListIndex()) : kDefaultMaxPartSize;
    options.autorun = controls.chkValue(1) != 0;
    options.wipe = controls.chkValue(2) != 0;
    options.withRecoveryData = controls.withRecoveryData();
    return options;
}

} // namespace kopierer
