// The scripted copy controls.
#include "ScriptedControls.h"

#include <stdexcept>

namespace testing_support {

ScriptedControls& ScriptedControls::targetFolder(std::string path) {
    floppyTarget = false;
    dir1 = std::move(path);
    return *this;
}

ScriptedControls& ScriptedControls::limit(std::string number, int unit) {
    chk[0] = 1;
    zahl = std::move(number);
    unitIndex = unit;
    return *this;
}

ScriptedControls& ScriptedControls::autorun(bool on) {
    chk[1] = on ? 1 : 0;
    return *this;
}

ScriptedControls& ScriptedControls::wipe(bool on) {
    chk[2] = on ? 1 : 0;
    return *this;
}

bool ScriptedControls::optValue(int index) const {
    switch (index) {
    case 0:
        return floppyTarget;
    case 1:
        return !floppyTarget;
    default:
        throw std::out_of_range("Opt has two buttons");
    }
}

int ScriptedControls::chkValue(int index) const {
    return chk.at(static_cast<std::size_t>(index));
}

} // namespace testing_support
