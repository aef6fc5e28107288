// How much room the window's captions need in a given font, measured as the Win32 controls draw
// them, for the form's caption fitting. It also sets that font on every control.
#pragma once

#include "form/FontFit.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace win32face {

class Win32CaptionMeasure final : public form::CaptionMeasure {
public:
    // The font is the given one at other sizes; controlOf finds a control of the window. The
    // measure owns the fonts it makes and keeps the last one alive.
    Win32CaptionMeasure(const LOGFONTW& font, int dpiY, std::function<HWND(form::ControlId)> controlOf);
    ~Win32CaptionMeasure() override;
    Win32CaptionMeasure(const Win32CaptionMeasure&) = delete;
    Win32CaptionMeasure& operator=(const Win32CaptionMeasure&) = delete;

    // The size of the given font in points, at the screen's resolution.
    double basePointSize() const;

    void useFont(double pointSize) override;
    int neededWidth(form::ControlId id) const override;
    int tipHeight(int index, int width) const override;

private:
    // The box DrawText gives the control's text in the font in use (single line, or wrapped at
    // width when width > 0).
    SIZE textSize(HWND control, UINT format, int width) const;
    // The width of the widest of these texts in the control's font, on one line.
    int widestText(HWND control, const std::vector<std::wstring>& texts) const;

    LOGFONTW base_;
    int dpiY_;
    std::function<HWND(form::ControlId)> controlOf_;
    HFONT font_ = nullptr;
};

} // namespace win32face
