// Twips to pixels at the two common resolutions: the window's client area, a control's box and
// the balls, whose 16 pixels the load handler sets in twips.
#include "window/win32/PixelScale.h"

#include <gtest/gtest.h>

namespace {

TEST(PixelScaleTest, BoxesTouchInPixelsWhereTheyTouchInTwips) {
    struct Case {
        int dpi;
        int left, top, width, height;
        PixelBox pixels;
    };
    const Case cases[] = {
        {96, 0, 0, 6450, 5715, {0, 0, 430, 381}},    // the client area
        {120, 0, 0, 6450, 5715, {0, 0, 538, 476}},   // 12 twips a pixel, rounded
        {96, 120, 300, 240, 240, {8, 20, 16, 16}},   // a ball as drawn
        {120, 120, 300, 192, 192, {10, 25, 16, 16}}, // a ball after the load handler
        // Two boxes that touch at 8 twips still touch: the edges are rounded, not the sizes.
        {96, 0, 0, 8, 15, {0, 0, 1, 1}},
        {96, 8, 0, 14, 15, {1, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PixelScale(c.dpi, c.dpi).toPixels(c.left, c.top, c.width, c.height), c.pixels)
            << c.dpi << " " << c.left;
    }
}

} // namespace
