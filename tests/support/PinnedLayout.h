// The main window's design as the tests hold it, written down once for both faces' tests: a
// change to the form's table that moves a control fails them instead of moving the test along.
// Twips; the controls inside Frame1 count from its outer corner.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace testing_support {

struct PinnedPlace {
    const char* name;
    int left, top, width, height;
    int growsUpTo = -1; // a caption's box may widen up to this right edge, so that no font cuts it
};

inline constexpr int kPinnedClientWidth = 6450;
inline constexpr int kPinnedClientHeight = 5715;

inline constexpr PinnedPlace kPinnedPlaces[] = {
    {"Frame1(1)", 60, 60, 6345, 5115},      {"UnitList", 5340, 2700, 795, 315, 6285},
    {"ZahlText", 4740, 2700, 615, 315},     {"Chk(2)", 2940, 3360, 2232, 312, 6225},
    {"Frame2(3)", 120, 3240, 6075, 75},     {"Dir1", 2940, 1620, 3195, 765},
    {"Drive1", 2940, 1200, 3195, 315},      {"Chk(1)", 2940, 4140, 2895, 312, 6225},
    {"Frame2(2)", 120, 3960, 6075, 75},     {"Frame2(1)", 120, 2520, 6075, 75},
    {"Opt(1)", 480, 2040, 2415, 312, 2880}, {"Chk(0)", 2940, 2640, 495, 435, 3600},
    {"Opt(0)", 480, 1680, 2292, 312, 2880}, {"Frame2(0)", 120, 1020, 6075, 75},
    {"Label1", 3660, 2760, 1050, 195},      {"Image1(4)", 120, 3420, 240, 240},
    {"Tip(4)", 480, 3420, 2295, 555, 2880}, {"Tip(3)", 480, 4140, 2295, 795, 2880},
    {"Image1(3)", 120, 4140, 240, 240},     {"Image1(2)", 120, 2700, 240, 240},
    {"Tip(2)", 480, 2700, 2295, 795, 2880}, {"Tip(0)", 480, 300, 5655, 675, 6225},
    {"Tip(1)", 480, 1200, 2412, 552, 2880}, {"Image1(0)", 120, 300, 240, 240},
    {"Image1(1)", 120, 1200, 240, 240},     {"Command1(1)", 4260, 5280, 1035, 375},
    {"Command1(2)", 3180, 5280, 975, 375},  {"Command1(0)", 5400, 5280, 975, 375},
    {"pbar", 60, 5280, 3015, 375},
};

// The pinned place of a control; the name must be one of the window's.
inline const PinnedPlace& pinnedPlace(std::string_view name) {
    for (const PinnedPlace& place : kPinnedPlaces) {
        if (name == place.name) {
            return place;
        }
    }
    throw std::out_of_range("no control " + std::string(name));
}

} // namespace testing_support
