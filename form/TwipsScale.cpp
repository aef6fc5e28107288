// Twips and pixels, both ways.
#include "TwipsScale.h"

#include <cmath>

namespace form {

namespace {

constexpr double kTwipsPerInch = 1440.0;

int roundToInt(double value) {
    return static_cast<int>(std::lround(value));
}

} // namespace

int TwipsScale::toPixelsX(double twips) const {
    return roundToInt(twips * dpiX_ / kTwipsPerInch);
}

int TwipsScale::toPixelsY(double twips) const {
    return roundToInt(twips * dpiY_ / kTwipsPerInch);
}

float TwipsScale::toTwipsX(float pixels) const {
    return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpiX_);
}

float TwipsScale::toTwipsY(float pixels) const {
    return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpiY_);
}

PixelRect TwipsScale::toPixels(int left, int top, int width, int height) const {
    const int x = toPixelsX(left);
    const int y = toPixelsY(top);
    return {x, y, toPixelsX(left + width) - x, toPixelsY(top + height) - y};
}

} // namespace form
