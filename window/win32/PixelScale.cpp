// Twips to pixels, rounded to the nearest pixel.
#include "PixelScale.h"

#include <cmath>

namespace {

constexpr double kTwipsPerInch = 1440.0;

int scaled(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / kTwipsPerInch));
}

} // namespace

int PixelScale::toPixelsX(int twips) const {
    return scaled(twips, dpiX_);
}

int PixelScale::toPixelsY(int twips) const {
    return scaled(twips, dpiY_);
}

PixelBox PixelScale::toPixels(int left, int top, int width, int height) const {
    const int x = toPixelsX(left);
    const int y = toPixelsY(top);
    return {x, y, toPixelsX(left + width) - x, toPixelsY(top + height) - y};
}
