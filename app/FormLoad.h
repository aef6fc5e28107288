// The load handler of the main window: start state of the controls, the command line,
// the usage text or the rejections, and the disk estimate.
#pragma once

#include "PathHelpers.h"
#include "core/ReassemblerChoice.h"
#include "core/SourceSelection.h"

#include <cstdint>
#include <string>

namespace rt {
class Runtime;
}

namespace app {

// What the load handler needs of Form1; the window implements it.
class StartupForm : public PixelTwipsScale {
public:
    virtual void setCaption(const std::string& caption) = 0;
    virtual void unitListAddItem(const std::string& item) = 0;
    virtual void setUnitListIndex(int index) = 0;
    virtual void setZahlText(const std::string& text) = 0;
    virtual void Opt_Click(int16_t index) = 0;
    virtual void setChkValue(int index, int value) = 0;
    virtual void setLabel1Visible(bool visible) = 0;
    virtual void setZahlTextVisible(bool visible) = 0;
    virtual void setUnitListVisible(bool visible) = 0;
    virtual void setImage1Width(int index, float twips) = 0;
    virtual void setImage1Height(int index, float twips) = 0;
    virtual void setTipCaption(int index, const std::string& caption) = 0;
    // What this start's run puts on the first disk, decided once when the window was made.
    virtual const core::ReassemblerChoice& reassemblerChoice() const = 0;
};

// Runs the whole start-up; returns only when the window is to be shown. Every other outcome
// ends the program through the runtime; an error nobody handles propagates to the caller,
// which reports it (Runtime::reportUnhandled).
void Form_Load(StartupForm& form, rt::Runtime& runtime, core::SourceSelection& source);

} // namespace app
