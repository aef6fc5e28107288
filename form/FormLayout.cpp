// The design of the main window in twips, as drawn at 96 dots per inch.
#include "FormLayout.h"

#include <array>
#include <cstring>

namespace form_layout {

namespace {

constexpr std::array<Place, kPlaceCount> kPlaces{{
    {"Frame1(1)", 60, 60, 6345, 5115, 3},     {"UnitList", 5340, 2700, 795, 315, 22},
    {"ZahlText", 4740, 2700, 615, 315, 21},   {"Chk(2)", 2940, 3360, 2232, 312, 19},
    {"Frame2(3)", 120, 3240, 6075, 75, 18},   {"Dir1", 2940, 1620, 3195, 765, 17},
    {"Drive1", 2940, 1200, 3195, 315, 15},    {"Chk(1)", 2940, 4140, 2895, 312, 13},
    {"Frame2(2)", 120, 3960, 6075, 75, 12},   {"Frame2(1)", 120, 2520, 6075, 75, 10},
    {"Opt(1)", 480, 2040, 2415, 312, 9},      {"Chk(0)", 2940, 2640, 495, 435, 6},
    {"Opt(0)", 480, 1680, 2292, 312, 5},      {"Frame2(0)", 120, 1020, 6075, 75, 4},
    {"Label1", 3660, 2760, 1050, 195, 23},    {"Image1(4)", 120, 3420, 240, 240, -1},
    {"Tip(4)", 480, 3420, 2295, 555, 20},     {"Tip(3)", 480, 4140, 2295, 795, 14},
    {"Image1(3)", 120, 4140, 240, 240, -1},   {"Image1(2)", 120, 2700, 240, 240, -1},
    {"Tip(2)", 480, 2700, 2295, 795, 11},     {"Tip(0)", 480, 300, 5655, 675, 8},
    {"Tip(1)", 480, 1200, 2412, 552, 7},      {"Image1(0)", 120, 300, 240, 240, -1},
    {"Image1(1)", 120, 1200, 240, 240, -1},   {"Command1(1)", 4260, 5280, 1035, 375, 2},
    {"Command1(2)", 3180, 5280, 975, 375, 1}, {"Command1(0)", 5400, 5280, 975, 375, 0},
    {"pbar", 60, 5280, 3015, 375, 16},
}};

} // namespace

std::span<const Place> places() {
    return kPlaces;
}

const Place* placeOf(const char* name) {
    for (const Place& place : kPlaces) {
        if (std::strcmp(place.name, name) == 0) {
            return &place;
        }
    }
    return nullptr;
}

int controlId(const char* name) {
    const Place* place = placeOf(name);
    return place == nullptr ? -1 : kFirstControlId + static_cast<int>(place - kPlaces.data());
}

} // namespace form_layout
