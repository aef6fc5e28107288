// Caption widths as the classic controls draw them: a check box or option button puts its box
// and a gap before the text, a drop-down list its frame and arrow around the entry.
#include "Win32CaptionMeasure.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace win32face {

namespace {

using form::ControlId;
using form::ControlKind;

constexpr double kPointsPerInch = 72.0;

std::wstring textOf(HWND control) {
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

} // namespace

Win32CaptionMeasure::Win32CaptionMeasure(const LOGFONTW& font, int dpiY, std::function<HWND(ControlId)> controlOf)
    : base_(font), dpiY_(dpiY), controlOf_(std::move(controlOf)) {}

Win32CaptionMeasure::~Win32CaptionMeasure() = default;

double Win32CaptionMeasure::basePointSize() const {
    return std::abs(base_.lfHeight) * kPointsPerInch / dpiY_;
}

void Win32CaptionMeasure::useFont(double pointSize) {
    LOGFONTW font = base_;
    font.lfHeight = -static_cast<LONG>(std::lround(pointSize * dpiY_ / kPointsPerInch));
    HFONT made = ::CreateFontIndirectW(&font);
    if (made == nullptr) {
        return;
    }
    for (const form::Control& row : form::controls()) {
        if (HWND control = controlOf_(row.id)) {
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
        }
    }
    // A new font gives an edit box the font's own margins, which in some fonts leave too little
    // of the number box's narrow design width for its five digits; a pixel on each side is
    // enough for the caret.
    if (HWND zahl = controlOf_(ControlId::ZahlText)) {
        const WORD margin = static_cast<WORD>(::MulDiv(1, dpiY_, 96));
        ::SendMessageW(zahl, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
    }
    // The controls hold the new font now; the one before may go.
    if (font_ != nullptr) {
        ::DeleteObject(font_);
    }
    font_ = made;
}

SIZE Win32CaptionMeasure::textSize(HWND control, UINT format, int width) const {
    HDC dc = ::GetDC(control);
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT box{0, 0, width, 0};
    const std::wstring text = textOf(control);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_CALCRECT);
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return {box.right - box.left, box.bottom - box.top};
}

int Win32CaptionMeasure::widestText(HWND control, const std::vector<std::wstring>& texts) const {
    HDC dc = ::GetDC(control);
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::wstring& text : texts) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return widest;
}

int Win32CaptionMeasure::neededWidth(ControlId id) const {
    HWND control = controlOf_(id);
    if (control == nullptr) {
        return 0;
    }
    // The gaps the classic controls leave, in pixels at 96 dots per inch.
    const auto scaled = [this](int pixels) { return ::MulDiv(pixels, dpiY_, 96); };
    const ControlKind kind = form::control(id).kind;
    if (kind == ControlKind::CheckBox || kind == ControlKind::OptionButton) {
        // The box, the gap after it and the room for the focus rectangle around the text.
        return ::GetSystemMetrics(SM_CXMENUCHECK) + scaled(6) + textSize(control, DT_SINGLELINE, 0).cx;
    }
    if (kind == ControlKind::NumberBox) {
        const std::vector<std::wstring> digits{L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"};
        const auto margins = static_cast<DWORD>(::SendMessageW(control, EM_GETMARGINS, 0, 0));
        return 5 * widestText(control, digits) + LOWORD(margins) + HIWORD(margins) + 2 * ::GetSystemMetrics(SM_CXEDGE);
    }
    if (kind == ControlKind::DropDownList) {
        std::vector<std::wstring> entries;
        const auto count = static_cast<int>(::SendMessageW(control, CB_GETCOUNT, 0, 0));
        for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
            std::vector<wchar_t> entry(static_cast<std::size_t>(::SendMessageW(control, CB_GETLBTEXTLEN, i, 0)) + 1);
            ::SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()));
            entries.emplace_back(entry.data());
        }
        return widestText(control, entries) + ::GetSystemMetrics(SM_CXVSCROLL) + 2 * ::GetSystemMetrics(SM_CXEDGE) +
               scaled(6);
    }
    // A label: its text, which never carries an access key.
    return textSize(control, DT_SINGLELINE | DT_NOPREFIX, 0).cx;
}

int Win32CaptionMeasure::tipHeight(int index, int width) const {
    HWND control = controlOf_(form::tip(index));
    return control == nullptr ? 0 : textSize(control, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL, width).cy;
}

} // namespace win32face
