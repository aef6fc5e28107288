// The caption rules with a fake font whose widths grow with its size, at 96 dots per inch
// (15 twips a pixel), so that every expected box can be read off the layout table.
#include "form/FontFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace form;

// Caption widths, and the one-line lengths of the questions ("Tip(0)"), as a 10-point font
// would need them; a smaller font needs proportionally less. Unlisted ones are short.
struct FakeFont final : form::CaptionMeasure {
    std::map<std::string, int> at10;
    double size = 0;

    int scaled(const std::string& name, int otherwise) const {
        const auto found = at10.find(name);
        return static_cast<int>(std::lround((found == at10.end() ? otherwise : found->second) * size / 10.0));
    }
    void useFont(double pointSize) override { size = pointSize; }
    int neededWidth(ControlId id) const override { return scaled(form::control(id).name, 20); }
    int tipHeight(int index, int width) const override {
        const int length = scaled("Tip(" + std::to_string(index) + ")", 100);
        return 13 * ((length + width - 1) / width);
    }
};

TEST(FontFitTest, CaptionsGrowIntoTheirRoomsThenTheFontShrinks) {
    const struct {
        const char* what;
        std::map<std::string, int> at10;
        double pointSize;
        bool fits;
        std::vector<std::tuple<ControlId, int, int>> boxes; // control, x, width
    } cases[] = {
        {"the design font: nothing moves",
         {},
         10,
         true,
         {{ControlId::Opt0, 32, 153}, {ControlId::Label1, 244, 20}, {ControlId::ZahlText, 316, 41}}},
        {"five wide digits: the number box grows left, Label1 makes way",
         {{"ZahlText", 61}, {"Label1", 60}},
         10,
         true,
         {{ControlId::ZahlText, 296, 61}, {ControlId::Label1, 234, 60}}},
        {"a wide caption takes what it needs", {{"Chk(1)", 210}}, 10, true, {{ControlId::Chk1, 196, 210}}},
        {"so does a wide drop-down list", {{"UnitList", 60}}, 10, true, {{ControlId::UnitList, 356, 60}}},
        {"past its room: a smaller font", {{"Opt(0)", 170}}, 9, true, {{ControlId::Opt0, 32, 153}}},
        {"the smallest font is the last try", {{"Chk(1)", 400}}, 6.5, false, {{ControlId::Chk1, 196, 219}}},
        {"Label1 moves left towards Ja", {{"Label1", 90}}, 10, true, {{ControlId::Label1, 224, 90}}},
        {"Label1 never covers Ja", {{"Label1", 200}}, 6.5, false, {{ControlId::Label1, 196 + 13 + 2, 130}}},
        {"a question widens before the font shrinks", {{"Tip(0)", 1200}}, 9.5, true, {{ControlId::Tip0, 32, 383}}},
    };
    const TwipsScale scale(96, 96);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeFont font;
        font.at10 = c.at10;
        const form::FittedLayout layout = form::fitToFont(font, scale, 10);
        EXPECT_EQ(layout.pointSize, c.pointSize);
        EXPECT_EQ(font.size, c.pointSize) << "the face is left with the chosen font";
        EXPECT_EQ(layout.fits, c.fits);
        for (const auto& [id, x, width] : c.boxes) {
            EXPECT_EQ(std::make_pair(layout.rectOf(id).x, layout.rectOf(id).width), std::make_pair(x, width))
                << form::control(id).name;
        }
        // Whatever the font, the controls without a caption stand where the table says.
        for (const ControlId fixed : {ControlId::Frame1, ControlId::Drive1, ControlId::Dir1, ControlId::Image1_2,
                                      ControlId::Command1_0, ControlId::Pbar}) {
            const form::Place& place = form::control(fixed).place;
            EXPECT_EQ(layout.rectOf(fixed), scale.toPixels(place.left, place.top, place.width, place.height));
        }
    }
}

TEST(FontFitTest, AQuestionNeverGrowsIntoTheNextRow) {
    FakeFont font;
    font.size = 10;
    const TwipsScale scale(96, 96);
    // Which question, its one-line length at 10 points, its box and whether the text fits. The
    // design boxes of Tip(2) and Tip(4) reach into the next row: both are cut back to it. Tip(3)
    // has room to the right (up to 192 px) and down (up to 336 px).
    const std::tuple<int, int, PixelRect, bool> cases[] = {
        {2, 100, {32, 180, 153, 36}, true}, {2, 1000, {32, 180, 160, 36}, false}, {4, 100, {32, 228, 153, 36}, true},
        {3, 600, {32, 276, 153, 53}, true}, {3, 620, {32, 276, 160, 53}, true},   {3, 700, {32, 276, 160, 60}, false}};
    for (const auto& [index, length, box, fitsWhole] : cases) {
        font.at10 = {{"Tip(" + std::to_string(index) + ")", length}};
        bool fits = false;
        EXPECT_EQ(form::fitTip(font, scale, index, &fits), box) << index << " " << length;
        EXPECT_EQ(fits, fitsWhole) << index << " " << length;
    }
}

TEST(TwipsScaleTest, ConvertsByTheScreensDotsPerInch) {
    // Dots per inch, pixels, twips.
    const std::tuple<int, float, float> cases[] = {
        {96, 16.0F, 240.0F}, {120, 16.0F, 192.0F}, {144, 1.0F, 10.0F}, {72, 3.0F, 60.0F}};
    for (const auto& [dpi, pixels, twips] : cases) {
        const TwipsScale scale(dpi, dpi);
        EXPECT_FLOAT_EQ(scale.toTwipsX(pixels), twips) << dpi;
        EXPECT_FLOAT_EQ(scale.toTwipsY(pixels), twips) << dpi;
        EXPECT_EQ(scale.toPixelsX(twips), static_cast<int>(pixels)) << dpi;
    }
    // Touching boxes stay touching: edges are rounded, not sizes.
    const TwipsScale scale(120, 120);
    EXPECT_EQ(scale.toPixels(0, 0, 2292, 312).right(), scale.toPixels(2292, 0, 2295, 312).x);
}

} // namespace
