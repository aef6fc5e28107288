// Form1 on Windows: one window with every control as its direct child, so that the dialog
// manager (IsDialogMessage in the message loop and in the run's yield) gives Tab, Alt with a
// letter and Enter their usual meaning.
#include "Win32Form1Window.h"

#include "Win32CaptionMeasure.h"
#include "Win32Pictures.h"
#include "form/FontFit.h"
#include "form/FormLayout.h"
#include "lowio/win32/Wide.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace win32face {

namespace {

using form::ControlId;
using form::ControlKind;
using lowio::win32::narrow;
using lowio::win32::widen;

constexpr const wchar_t* kWindowClass = L"Splitwerk99Form1";
// The window on each input control it watches.
constexpr const wchar_t* kWatcherProperty = L"Splitwerk.Form1Window";
// Posted by Dir1 on a double click or Enter: the list is rebuilt once its own handling is over.
constexpr UINT kOpenFolderMessage = WM_APP + 1;
// A drop-down list is created this many lines high; the field itself takes its height from the
// font.
constexpr int kDropDownLines = 8;

struct WindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

WindowKind windowKindOf(ControlKind kind) {
    // WS_GROUP on every control: each is a group of its own, so the dialog manager never ties
    // the two options to their neighbours; the window keeps them exclusive itself.
    constexpr DWORD kFocusable = WS_TABSTOP | WS_GROUP;
    switch (kind) {
    case ControlKind::Frame:
        return {L"Button", BS_GROUPBOX | WS_GROUP, 0};
    case ControlKind::DropDownList:
        return {L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | kFocusable, 0};
    case ControlKind::NumberBox:
        return {L"Edit", ES_AUTOHSCROLL | kFocusable, WS_EX_CLIENTEDGE};
    case ControlKind::FolderList:
        return {L"ListBox",
                LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | kFocusable,
                WS_EX_CLIENTEDGE};
    case ControlKind::Label:
        return {L"Static", SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_GROUP, 0};
    case ControlKind::ProgressBar:
        return {PROGRESS_CLASSW, WS_GROUP, 0};
    case ControlKind::CheckBox:
        return {L"Button", BS_AUTOCHECKBOX | kFocusable, 0};
    case ControlKind::OptionButton:
        return {L"Button", BS_RADIOBUTTON | kFocusable, 0};
    case ControlKind::PushButton:
        return {L"Button", BS_PUSHBUTTON | kFocusable, 0};
    case ControlKind::Bar:
        return {L"Static", SS_ETCHEDHORZ | WS_GROUP, 0};
    case ControlKind::Picture:
        return {L"Static", SS_ICON | SS_REALSIZECONTROL | WS_GROUP, 0};
    case ControlKind::Question:
        break;
    }
    // A question: a file name's "&" is shown as it is, never read as an access key.
    return {L"Static", SS_LEFT | SS_NOPREFIX | WS_GROUP, 0};
}

// What a control shows when it is made: its design caption, or for a question and the number
// box what the form holds.
std::string designText(const form::Form1& form, const form::Control& row) {
    switch (row.kind) {
    case ControlKind::Question:
        return form.tipCaption(form::arrayIndex(row.id));
    case ControlKind::NumberBox:
        return form.zahlText();
    default:
        return row.caption;
    }
}

// The system's message font: the font of the message boxes this program shows, chosen by the
// user and scaled for the screen. NONCLIENTMETRICSW is declared in its XP size here, which
// every Windows since XP accepts.
LOGFONTW dialogFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return metrics.lfMessageFont;
    }
    LOGFONTW font{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

form::TwipsScale screenScale() {
    HDC screen = ::GetDC(nullptr);
    const int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return {dpiX > 0 ? dpiX : 96, dpiY > 0 ? dpiY : 96};
}

} // namespace

Win32Form1Window::Win32Form1Window(form::Form1& form, HINSTANCE instance)
    : form_(form), instance_(instance), scale_(screenScale()) {
    form_.setDotsPerInch(scale_.dpiX(), scale_.dpiY());
    measure_ =
        std::make_unique<Win32CaptionMeasure>(dialogFont(), scale_.dpiY(), [this](ControlId id) { return item(id); });
    ball_ = ballIcon(instance_);
    iconLarge_ = programIcon(instance_, false);
    iconSmall_ = programIcon(instance_, true);
    createWindow();
    createControls();
    placeControls();
    ++showing_;
    for (const form::Control& row : form::controls()) {
        switch (row.kind) {
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
        case ControlKind::NumberBox:
        case ControlKind::DropDownList:
        case ControlKind::FolderList:
            showValue(row.id);
            break;
        default:
            break;
        }
        showState(row.id);
    }
    --showing_;
    watchInputs();
    form_.setFace(this);
}

Win32Form1Window::~Win32Form1Window() {
    form_.setFace(nullptr);
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

std::string Win32Form1Window::itemText(ControlId id) const {
    HWND control = item(id);
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return narrow(text);
}

void Win32Form1Window::setItemText(ControlId id, const std::string& text) const {
    ::SetWindowTextW(item(id), widen(text).c_str());
}

void Win32Form1Window::createWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Win32Form1Window::windowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = iconLarge_;
    windowClass.hIconSm = iconSmall_;
    windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassExW(&windowClass);

    // A fixed dialog frame with the close box, neither minimise nor maximise button.
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
    RECT frame{0, 0, scale_.toPixelsX(form::kClientWidth), scale_.toPixelsY(form::kClientHeight)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT workArea{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const int left = workArea.left + (workArea.right - workArea.left - width) / 2;
    const int top = workArea.top + (workArea.bottom - workArea.top - height) / 2;
    window_ = ::CreateWindowExW(kExStyle, kWindowClass, widen(form_.caption()).c_str(), kStyle, left, top, width,
                                height, nullptr, nullptr, instance_, this);
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconLarge_));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_));
}

void Win32Form1Window::createControls() {
    // Created in the order of the tab indices, which is the order in which the dialog manager
    // moves the focus; the images, which have no tab index, come last.
    std::vector<const form::Control*> order;
    for (const form::Control& row : form::controls()) {
        order.push_back(&row);
    }
    std::stable_sort(order.begin(), order.end(), [](const form::Control* a, const form::Control* b) {
        const int left = a->tabIndex < 0 ? 1000 : a->tabIndex;
        const int right = b->tabIndex < 0 ? 1000 : b->tabIndex;
        return left < right;
    });
    HWND previous = HWND_TOP;
    for (const form::Control* row : order) {
        const WindowKind kind = windowKindOf(row->kind);
        HWND control = ::CreateWindowExW(kind.exStyle, kind.className, widen(designText(form_, *row)).c_str(),
                                         WS_CHILD | WS_VISIBLE | kind.style, 0, 0, 0, 0, window_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(form::controlNumber(row->id))),
                                         instance_, nullptr);
        // The stacking order is the tab order, whatever order CreateWindow links them in.
        ::SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control;
        items_[form::slot(row->id)] = control;
    }

    sendItemMessage(ControlId::ZahlText, EM_LIMITTEXT, 5);
    sendItemMessage(ControlId::Pbar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    for (int i = 0; i < 5; ++i) {
        sendItemMessage(form::image1(i), STM_SETICON, reinterpret_cast<WPARAM>(ball_));
    }
    for (const form::Form1::DriveItem& drive : form_.drive1Items()) {
        sendItemMessage(ControlId::Drive1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(drive.designation).c_str()));
    }
    dir1_ = std::make_unique<FolderListBox>(item(ControlId::Dir1), instance_, scale_.dpiY(), kOpenFolderMessage,
                                            [this](const std::string& path) { return form_.openFolder(path); });
}

void Win32Form1Window::placeControls() {
    // The captions keep whole in the font in use: boxes grow into their rooms, and where that is
    // not enough every control takes a smaller font (the form's rules, shared with Linux).
    // Showing the unit list's entries first lets its box be measured with them.
    showUnitList();
    const form::FittedLayout layout = form::fitToFont(*measure_, scale_, measure_->basePointSize());
    for (const form::Control& row : form::controls()) {
        moveControl(row.id, layout.rectOf(row.id));
    }
    dir1_->fitItemHeight();
}

void Win32Form1Window::moveControl(ControlId id, form::PixelRect box) {
    // The fitted boxes count from their container; here every control is the window's child.
    if (form::insideFrame1(id)) {
        const form::Place& frame = form::control(ControlId::Frame1).place;
        const form::PixelRect corner = scale_.toPixels(frame.left, frame.top, 0, 0);
        box.x += corner.x;
        box.y += corner.y;
    }
    // A drop-down list is created as high as its open list; the field takes its height from
    // the font.
    if (form::control(id).kind == ControlKind::DropDownList) {
        box.height *= kDropDownLines;
    }
    ::MoveWindow(item(id), box.x, box.y, box.width, box.height, FALSE);
}

void Win32Form1Window::show() {
    ::ShowWindow(window_, SW_SHOW);
    ::UpdateWindow(window_);
    ::SetFocus(item(ControlId::Command1_0));
    // Enter presses the focused button, and the focused button shows that it would.
    sendItemMessage(ControlId::Command1_0, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

LRESULT CALLBACK Win32Form1Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Win32Form1Window*>(create->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Form1Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT Win32Form1Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        // The close box is Abbrechen: the program ends, or during a run it asks first; when
        // that returns, the user chose to go on and the window stays.
        form_.Form_QueryUnload();
        return 0;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (dir1_ != nullptr && item->hwndItem == dir1_->handle()) {
            dir1_->draw(*item);
            return TRUE;
        }
        break;
    }
    case kOpenFolderMessage:
        if (dir1_ != nullptr && ::IsWindowEnabled(dir1_->handle())) {
            dir1_->openHighlighted();
        }
        return 0;
    case WM_ACTIVATE:
        // A plain window forgets which control had the focus when a message box took it;
        // a dialog does not, and neither does this one.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus != nullptr && ::IsChild(window_, focus)) {
                lastFocus_ = focus;
            }
        } else if (lastFocus_ != nullptr && ::IsWindow(lastFocus_)) {
            ::SetFocus(lastFocus_);
            keepFocusUsable();
            return 0;
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

void Win32Form1Window::watchInputs() {
    // A user's click or choice comes with BN_CLICKED or CBN_SELCHANGE, but BM_SETCHECK and
    // CB_SETCURSEL change a box or a list silently, and code or an accessibility tool may send
    // them (UI Automation selects a list entry with CB_SETCURSEL). The run reads the form, so the
    // form must hear of those too. ZahlText needs no watching: a single-line edit reports every
    // change of its text, WM_SETTEXT included, with EN_CHANGE.
    for (const form::Control& row : form::controls()) {
        if (row.kind != ControlKind::CheckBox && row.kind != ControlKind::OptionButton &&
            row.kind != ControlKind::DropDownList) {
            continue;
        }
        HWND input = item(row.id);
        ::SetPropW(input, kWatcherProperty, this);
        inputProcs_[input] = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(input, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Form1Window::inputProc)));
    }
}

LRESULT CALLBACK Win32Form1Window::inputProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Win32Form1Window*>(::GetPropW(control, kWatcherProperty));
    const LRESULT result = ::CallWindowProcW(self->inputProcs_.at(control), control, message, wParam, lParam);
    const bool changesValue =
        message == BM_SETCHECK || message == CB_SETCURSEL || message == CB_SELECTSTRING || message == WM_SETTEXT;
    // The window's own showing of the form's values is not news to the form.
    if (changesValue && self->showing_ == 0) {
        if (const std::optional<ControlId> id = form::controlOfNumber(::GetDlgCtrlID(control))) {
            self->reportInput(*id);
        }
    }
    return result;
}

void Win32Form1Window::reportInput(ControlId id) {
    const int index = form::arrayIndex(id);
    switch (form::control(id).kind) {
    case ControlKind::CheckBox:
        form_.tickChk(index, isChecked(id) ? 1 : 0);
        break;
    case ControlKind::OptionButton:
        // A check set on an option selects it; one taken from the selected option would leave
        // none selected, so the window shows the form's choice again.
        if (isChecked(id)) {
            form_.selectOpt(index);
        }
        ++showing_;
        showOptions();
        --showing_;
        break;
    case ControlKind::NumberBox:
        form_.typeZahlText(itemText(id));
        break;
    case ControlKind::DropDownList:
        if (id == ControlId::UnitList) {
            form_.chooseUnit(selectedItem(id));
        } else {
            form_.chooseDrive(selectedItem(id));
        }
        break;
    default:
        break;
    }
}

void Win32Form1Window::onCommand(int number, int code) {
    // IDOK and IDCANCEL, which the dialog manager sends for Enter outside a button and for
    // Escape, have no control here and do nothing.
    const std::optional<ControlId> id = form::controlOfNumber(number);
    if (showing_ > 0 || !id) {
        return;
    }
    const int index = form::arrayIndex(*id);
    switch (form::control(*id).kind) {
    case ControlKind::PushButton:
        if (code == BN_CLICKED) {
            form_.Command1_Click(static_cast<int16_t>(index));
        }
        break;
    case ControlKind::OptionButton:
        if (code == BN_CLICKED) {
            // An option button of this kind does not check itself: the click selects it.
            form_.selectOpt(index);
            // Clicking the selected option changes nothing, but the button is shown anew.
            ++showing_;
            showOptions();
            --showing_;
        }
        break;
    case ControlKind::CheckBox:
        // A click may have reported the box's new check already, through the BM_SETCHECK the
        // box sends itself; hearing it again changes nothing.
        if (code == BN_CLICKED) {
            reportInput(*id);
        }
        break;
    case ControlKind::NumberBox:
        if (code == EN_CHANGE) {
            reportInput(*id);
        }
        break;
    case ControlKind::DropDownList:
        if (code == CBN_SELCHANGE) {
            reportInput(*id);
        }
        break;
    case ControlKind::FolderList:
        if (code == LBN_DBLCLK) {
            ::PostMessageW(window_, kOpenFolderMessage, 0, 0);
        }
        break;
    default:
        break;
    }
}

void Win32Form1Window::keepFocusUsable() {
    // A control that was hidden or disabled while it had the focus (OK, once pressed) would
    // leave the keyboard dead; the focus moves on to the next control that can take it.
    HWND focus = ::GetFocus();
    if (focus == nullptr || !::IsChild(window_, focus) || (::IsWindowEnabled(focus) && ::IsWindowVisible(focus))) {
        return;
    }
    if (HWND next = ::GetNextDlgTabItem(window_, focus, FALSE)) {
        ::SetFocus(next);
    }
}

void Win32Form1Window::showCaption() {
    ++showing_;
    ::SetWindowTextW(window_, widen(form_.caption()).c_str());
    --showing_;
}

void Win32Form1Window::showControl(ControlId id) {
    ++showing_;
    showValue(id);
    showState(id);
    --showing_;
}

void Win32Form1Window::showState(ControlId id) {
    HWND control = item(id);
    const bool shown = (::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    const bool enabled = ::IsWindowEnabled(control) != FALSE;
    if (shown == form_.visible(id) && enabled == form_.enabled(id)) {
        return;
    }
    if (shown != form_.visible(id)) {
        ::ShowWindow(control, form_.visible(id) ? SW_SHOWNA : SW_HIDE);
    }
    if (enabled != form_.enabled(id)) {
        ::EnableWindow(control, form_.enabled(id) ? TRUE : FALSE);
    }
    // A control that had the focus may no longer take it.
    keepFocusUsable();
}

void Win32Form1Window::showValue(ControlId id) {
    const int index = form::arrayIndex(id);
    switch (form::control(id).kind) {
    case ControlKind::CheckBox:
        checkButton(id, form_.chkValue(index) != 0);
        break;
    case ControlKind::OptionButton:
        showOptions();
        break;
    case ControlKind::NumberBox:
        if (itemText(id) != form_.zahlText()) {
            setItemText(id, form_.zahlText());
        }
        break;
    case ControlKind::DropDownList:
        if (id == ControlId::Drive1) {
            selectItem(id, form_.drive1Index());
        } else if (static_cast<std::size_t>(sendItemMessage(id, CB_GETCOUNT)) < form_.unitListItems().size()) {
            // The entries arrive after the window was laid out; a wider entry may need a wider
            // box, or a smaller font for all. The balls keep the size the load handler gave them.
            placeControls();
            for (int i = 0; i < 5; ++i) {
                showImage(i);
            }
            ::InvalidateRect(window_, nullptr, TRUE);
        } else {
            selectItem(id, form_.unitListIndex());
        }
        break;
    case ControlKind::FolderList:
        dir1_->show(form_.dir1());
        break;
    case ControlKind::Question:
        showTip(index);
        break;
    case ControlKind::Picture:
        showImage(index);
        break;
    case ControlKind::ProgressBar:
        sendItemMessage(id, PBM_SETPOS, static_cast<WPARAM>(form_.pbarValue()));
        break;
    default:
        break;
    }
}

void Win32Form1Window::showOptions() {
    for (int i = 0; i < 2; ++i) {
        const ControlId option = form::opt(i);
        const bool selected = form_.optValue(i);
        checkButton(option, selected);
        // As in every option group, Tab stops only at the selected one.
        const LONG_PTR style = ::GetWindowLongPtrW(item(option), GWL_STYLE);
        ::SetWindowLongPtrW(item(option), GWL_STYLE, selected ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

void Win32Form1Window::showUnitList() {
    const std::vector<std::string>& items = form_.unitListItems();
    for (auto i = static_cast<std::size_t>(sendItemMessage(ControlId::UnitList, CB_GETCOUNT)); i < items.size(); ++i) {
        sendItemMessage(ControlId::UnitList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(items[i]).c_str()));
    }
    selectItem(ControlId::UnitList, form_.unitListIndex());
}

void Win32Form1Window::showImage(int index) {
    const ControlId id = form::image1(index);
    const form::Place& place = form::control(id).place;
    const form::Form1::ImageSize size = form_.image1Size(index);
    const int width = size.width > 0 ? static_cast<int>(size.width + 0.5F) : place.width;
    const int height = size.height > 0 ? static_cast<int>(size.height + 0.5F) : place.height;
    ::SetWindowPos(item(id), nullptr, 0, 0, scale_.toPixelsX(width), scale_.toPixelsY(height),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form1Window::showTip(int index) {
    const ControlId id = form::tip(index);
    setItemText(id, form_.tipCaption(index));
    // A longer sentence may need the room beside or below it.
    moveControl(id, form::fitTip(*measure_, scale_, index));
    ::InvalidateRect(window_, nullptr, TRUE);
}

} // namespace win32face
