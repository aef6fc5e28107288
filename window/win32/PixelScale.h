// Twips (1/1440 inch), in which the window's design is measured, to the screen's pixels at the
// dots per inch of the system: 15 twips a pixel at 96 DPI, 12 at 120 DPI.
#pragma once

struct PixelBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelBox&) const = default;
};

class PixelScale {
public:
    PixelScale(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}

    int dpiX() const { return dpiX_; }
    int dpiY() const { return dpiY_; }

    int toPixelsX(int twips) const;
    int toPixelsY(int twips) const;

    // A box given in twips, placed so that boxes that touch in twips also touch in pixels:
    // the edges are rounded, not the sizes.
    PixelBox toPixels(int left, int top, int width, int height) const;

private:
    int dpiX_;
    int dpiY_;
};
