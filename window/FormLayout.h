// Where every control of the main window stands, in twips, and its place in the tab order.
// Left and top count from the outer top-left corner of the control's container: the client
// area for the frame, the buttons and the progress bar, the frame for everything else.
#pragma once

#include <span>

namespace form_layout {

struct Place {
    const char* name; // the control's objectName, index included: "Chk(2)"
    int left;
    int top;
    int width;
    int height;
    int tabIndex; // -1: the control has none (images)
};

inline constexpr int kClientWidth = 6450;
inline constexpr int kClientHeight = 5715;

// In the order of the window's definition.
std::span<const Place> places();

// The place of one control; nullptr for an unknown name.
const Place* placeOf(const char* name);

} // namespace form_layout
