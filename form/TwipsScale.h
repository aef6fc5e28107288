// Converting between twips (1/1440 inch), in which the window's design is measured, and the
// screen's pixels, by the logical dots per inch of the screen the window is on.
#pragma once

namespace form {

// A box in pixels, as a face places a control.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; } // the first column past the box
    bool operator==(const PixelRect&) const = default;
};

class TwipsScale {
public:
    TwipsScale(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}

    int dpiX() const { return dpiX_; }
    int dpiY() const { return dpiY_; }

    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;
    float toTwipsX(float pixels) const;
    float toTwipsY(float pixels) const;

    // A box given in twips, placed so that neighbouring boxes that touch in twips also touch
    // in pixels: the edges are rounded, not the sizes.
    PixelRect toPixels(int left, int top, int width, int height) const;

private:
    int dpiX_;
    int dpiY_;
};

} // namespace form
