// The caption rules: boxes that grow into their rooms, Label1 that moves towards "Ja", questions
// that widen before they lengthen, and the smaller font when all that is not enough.
#include "FontFit.h"

#include <algorithm>

namespace form {

namespace {

PixelRect designRect(const TwipsScale& scale, ControlId id) {
    const Place& place = control(id).place;
    return scale.toPixels(place.left, place.top, place.width, place.height);
}

// A one-line control whose caption does not fit its design box grows to the right, as far as
// it needs and at most up to its room.
bool fitWidth(const CaptionMeasure& measure, const TwipsScale& scale, const WidthRoom& room, PixelRect& box) {
    const int needed = measure.neededWidth(room.id);
    if (needed <= box.width) {
        return true;
    }
    box.width = std::min(needed, scale.toPixelsX(room.right) - box.x);
    return needed <= box.width;
}

// "- und zwar auf " keeps its one line and leads up to the number box: the box takes the width
// of its text and, when that is wider than the design, moves left towards "Ja" — never over it.
bool fitLabel1(const CaptionMeasure& measure, const TwipsScale& scale, FittedLayout& layout) {
    PixelRect& label = layout.rects[slot(ControlId::Label1)];
    const PixelRect& chk0 = layout.rectOf(ControlId::Chk0);
    const int gap = scale.toPixelsX(kLabel1Gap);
    const int leftmost = chk0.x + measure.neededWidth(ControlId::Chk0) + gap;
    const int rightmost = layout.rectOf(ControlId::ZahlText).x - gap;
    const int width = measure.neededWidth(ControlId::Label1);
    label.x = std::max(leftmost, std::min(label.x, rightmost - width));
    label.width = width;
    return width <= rightmost - leftmost;
}

// The number box shows all five characters it takes. Its right edge stays by the unit list, so
// a box too narrow for the font grows to the left, and Label1 makes way for it (or, with no
// room left, the font shrinks).
void fitZahlText(const CaptionMeasure& measure, PixelRect& box) {
    const int needed = measure.neededWidth(ControlId::ZahlText);
    if (needed > box.width) {
        box.x -= needed - box.width;
        box.width = needed;
    }
}

bool arrange(const CaptionMeasure& measure, const TwipsScale& scale, FittedLayout& layout) {
    for (const Control& row : controls()) {
        layout.rects[slot(row.id)] = designRect(scale, row.id);
    }
    bool fits = true;
    for (const WidthRoom& room : kWidthRooms) {
        fits = fitWidth(measure, scale, room, layout.rects[slot(room.id)]) && fits;
    }
    fitZahlText(measure, layout.rects[slot(ControlId::ZahlText)]);
    fits = fitLabel1(measure, scale, layout) && fits;
    for (int i = 0; i < 5; ++i) {
        bool tipFits = true;
        layout.rects[slot(tip(i))] = fitTip(measure, scale, i, &tipFits);
        fits = tipFits && fits;
    }
    return fits;
}

} // namespace

FittedLayout fitToFont(CaptionMeasure& measure, const TwipsScale& scale, double pointSize) {
    FittedLayout layout;
    layout.clientWidth = scale.toPixelsX(kClientWidth);
    layout.clientHeight = scale.toPixelsY(kClientHeight);
    for (;;) {
        measure.useFont(pointSize);
        layout.pointSize = pointSize;
        layout.fits = arrange(measure, scale, layout);
        if (layout.fits || pointSize - kPointSizeStep < kSmallestPointSize) {
            return layout;
        }
        pointSize -= kPointSizeStep;
    }
}

PixelRect fitTip(const CaptionMeasure& measure, const TwipsScale& scale, int index, bool* fits) {
    const PixelRect design = designRect(scale, tip(index));
    const TipRoom& room = kTipRooms[index];
    const int roomHeight = scale.toPixelsY(room.bottom) - design.y;

    int width = design.width;
    if (measure.tipHeight(index, width) > design.height) {
        width = std::max(width, scale.toPixelsX(room.right) - design.x);
    }
    const int needed = measure.tipHeight(index, width);
    if (fits != nullptr) {
        *fits = needed <= roomHeight;
    }
    // A box never reaches into the next row, so the overlapping design boxes of the third and
    // fourth questions no longer overlap.
    return {design.x, design.y, width, std::min(std::max(design.height, needed), roomHeight)};
}

} // namespace form
