// The message box on the Qt desktop: icon, buttons, default button and title from the style
// code; each lone CR becomes a line break; Qt's German translation names the buttons.
#pragma once

#include "../MessageBox.h"

namespace rt {

class QtMessageBox final : public MessageBoxService {
public:
    int show(const std::string& prompt, int style, const std::string& title) override;
};

} // namespace rt
