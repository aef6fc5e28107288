// Keeping every caption whole when the font in use is wider than the one the window was drawn
// for. The design was drawn for a smaller font than many desktops use, so a caption's box grows
// to the right as far as the next control ("its room"), and where even that is too little the
// whole window takes a smaller font, one size for every control, so the rows keep one look.
//
// The rules hold here once for every face; a face only measures its captions with its toolkit
// and places its controls where the result says.
#pragma once

#include "FormLayout.h"
#include "TwipsScale.h"

#include <array>

namespace form {

// Below this a smaller font would no longer be readable; the text is then left to wrap as best
// it can. The font shrinks in half points.
inline constexpr double kSmallestPointSize = 6.5;
inline constexpr double kPointSizeStep = 0.5;

// What a face measures with its toolkit, for the font it was last told to use.
class CaptionMeasure {
public:
    virtual ~CaptionMeasure() = default;

    // From now on every control of the window uses this font size (points).
    virtual void useFont(double pointSize) = 0;
    // The width a one-line control needs to show all of its caption: for a check box or an
    // option button the text with its indicator and the toolkit's padding, for a label its
    // text; for a drop-down list its widest entry with the frame and the arrow beside it; for
    // the number box five of the widest digit inside its frame and margins.
    virtual int neededWidth(ControlId id) const = 0;
    // The height Tip(index) needs for its text wrapped at this width.
    virtual int tipHeight(int index, int width) const = 0;
};

// Where every control stands for the chosen font, in pixels inside its container as the
// layout table counts.
struct FittedLayout {
    double pointSize = 0;
    // false: even the smallest font leaves a caption cut or a question wrapped past its room.
    bool fits = true;
    int clientWidth = 0;
    int clientHeight = 0;
    // Indexed by ControlId.
    std::array<PixelRect, kControlCount> rects{};

    const PixelRect& rectOf(ControlId id) const { return rects[slot(id)]; }
};

// Places the window's controls for the font the face starts with, trying ever smaller fonts
// until every caption fits or kSmallestPointSize is reached. Leaves the measure set to the
// chosen size.
FittedLayout fitToFont(CaptionMeasure& measure, const TwipsScale& scale, double pointSize);

// Tip(index)'s box for the font in use after its text changed. A question grows to the right
// up to its room when it needs more lines than its design box holds, then down, but never into
// the next row; fits says whether the text got all the height it needs.
PixelRect fitTip(const CaptionMeasure& measure, const TwipsScale& scale, int index, bool* fits = nullptr);

} // namespace form
