// A stand-in for the window as the copy run sees it: the options are plain fields a test
// sets, and every progress value the run shows is kept in order.
#pragma once

#include "copier/CopyControls.h"

#include <array>
#include <string>
#include <vector>

namespace testing_support {

class ScriptedControls final : public kopierer::CopyControls {
public:
    // Defaults as the window starts: floppy target, no limit, "1440" "Kbyte", no autorun, no wipe.
    bool floppyTarget = true; // Opt(0); Opt(1) is its opposite
    std::array<int, 3> chk{0, 0, 0};
    std::string dir1;
    std::string zahl = "1440";
    int unitIndex = 0;
    bool recoveryData = false; // started with --mit-ersatzdiskette

    // Shortcuts for the usual set-ups.
    ScriptedControls& targetFolder(std::string path);
    ScriptedControls& limit(std::string number, int unit);
    ScriptedControls& autorun(bool on = true);
    ScriptedControls& wipe(bool on = true);

    bool optValue(int index) const override;
    int chkValue(int index) const override;
    std::string dir1Path() const override { return dir1; }
    std::string zahlText() const override { return zahl; }
    int unitListIndex() const override { return unitIndex; }
    void setPbarValue(float percent) override { progress_.push_back(percent); }
    bool withRecoveryData() const override { return recoveryData; }

    const std::vector<float>& progress() const { return progress_; }

private:
    std::vector<float> progress_;
};

} // namespace testing_support
