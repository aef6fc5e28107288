// Form1 on Windows: one window with every control as its direct child, so that the dialog
// manager (IsDialogMessage in the message loop and in the run's yield) gives Tab, Alt with a
// letter and Enter their usual meaning.
#include "Win32Form1Window.h"

#include "Pictures.h"
#include "Win32CaptionMeasure.h"
#include "form/FontFit.h"
#include "form/FormLayout.h"
#include "runtime/win32/Wide.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

namespace {

constexpr const wchar_t* kWindowClass = L"Splitwerk99Form1";
// The window on each input control it watches.
constexpr const wchar_t* kWatcherProperty = L"Splitwerk.Form1Window";
// Posted by Dir1 on a double click or Enter: the list is rebuilt once its own handling is over.
constexpr UINT kOpenFolderMessage = WM_APP + 1;
// A drop-down list is created this many lines high; the field itself takes its height from the
// font.
constexpr int kDropDownLines = 8;

using rt::win32::narrow;
using rt::win32::widen;

std::string indexed(const char* name, int index) {
    return std::string(name) + '(' + std::to_string(index) + ')';
}

// Everything but the frame, the buttons and the progress bar stands inside Frame1 and is
// placed from the frame's corner.
bool insideFrame(const std::string& name) {
    return name != "Frame1(1)" && name != "pbar" && name.rfind("Command1(", 0) != 0;
}

struct ControlKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlKind kindOf(const std::string& name) {
    // WS_GROUP on every control: each is a group of its own, so the dialog manager never ties
    // the two options to their neighbours; the window keeps them exclusive itself.
    constexpr DWORD kFocusable = WS_TABSTOP | WS_GROUP;
    if (name == "Frame1(1)") {
        return {L"Button", BS_GROUPBOX | WS_GROUP, 0};
    }
    if (name == "UnitList" || name == "Drive1") {
        return {L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | kFocusable, 0};
    }
    if (name == "ZahlText") {
        return {L"Edit", ES_AUTOHSCROLL | kFocusable, WS_EX_CLIENTEDGE};
    }
    if (name == "Dir1") {
        return {L"ListBox",
                LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | kFocusable,
                WS_EX_CLIENTEDGE};
    }
    if (name == "Label1") {
        return {L"Static", SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_GROUP, 0};
    }
    if (name == "pbar") {
        return {PROGRESS_CLASSW, WS_GROUP, 0};
    }
    if (name.rfind("Chk(", 0) == 0) {
        return {L"Button", BS_AUTOCHECKBOX | kFocusable, 0};
    }
    if (name.rfind("Opt(", 0) == 0) {
        return {L"Button", BS_RADIOBUTTON | kFocusable, 0};
    }
    if (name.rfind("Command1(", 0) == 0) {
        return {L"Button", BS_PUSHBUTTON | kFocusable, 0};
    }
    if (name.rfind("Frame2(", 0) == 0) {
        return {L"Static", SS_ETCHEDHORZ | WS_GROUP, 0};
    }
    if (name.rfind("Image1(", 0) == 0) {
        return {L"Static", SS_ICON | SS_REALSIZECONTROL | WS_GROUP, 0};
    }
    // Tip(i): a file name's "&" is shown as it is, never read as an access key.
    return {L"Static", SS_LEFT | SS_NOPREFIX | WS_GROUP, 0};
}

std::string designText(const Form1& form, const std::string& name) {
    for (int i = 0; i < 3; ++i) {
        if (name == indexed("Chk", i)) {
            return form_layout::kChkCaptions[i];
        }
        if (name == indexed("Command1", i)) {
            return form_layout::kCommandCaptions[i];
        }
    }
    for (int i = 0; i < 2; ++i) {
        if (name == indexed("Opt", i)) {
            return form_layout::kOptCaptions[i];
        }
    }
    for (int i = 0; i < 5; ++i) {
        if (name == indexed("Tip", i)) {
            return form.tipCaption(i);
        }
    }
    if (name == "Frame1(1)") {
        return form_layout::kFrame1Caption;
    }
    if (name == "Label1") {
        return form_layout::kLabel1Caption;
    }
    if (name == "ZahlText") {
        return form.zahlText();
    }
    return {};
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

TwipsScale screenScale() {
    HDC screen = ::GetDC(nullptr);
    const int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return {dpiX > 0 ? dpiX : 96, dpiY > 0 ? dpiY : 96};
}

} // namespace

Win32Form1Window::Win32Form1Window(Form1& form, HINSTANCE instance)
    : form_(form), instance_(instance), scale_(screenScale()) {
    form_.setDotsPerInch(scale_.dpiX(), scale_.dpiY());
    measure_ = std::make_unique<Win32CaptionMeasure>(dialogFont(), scale_.dpiY(),
                                                     [this](const char* name) { return control(name); });
    ball_ = pictures::ball(instance_);
    iconLarge_ = pictures::programIcon(instance_, false);
    iconSmall_ = pictures::programIcon(instance_, true);
    createWindow();
    createControls();
    placeControls();
    ++showing_;
    showValues();
    showUnitList();
    showVisibility();
    showEnabled();
    showDrive();
    dir1_->show(form_.dir1());
    --showing_;
    watchInputs();
    form_.setObserver([this](FormPart part, int index) { formChanged(part, index); });
}

Win32Form1Window::~Win32Form1Window() {
    form_.setObserver({});
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

HWND Win32Form1Window::control(const char* name) const {
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
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
    RECT frame{0, 0, scale_.toPixelsX(form_layout::kClientWidth), scale_.toPixelsY(form_layout::kClientHeight)};
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
    std::vector<const form_layout::Place*> order;
    for (const form_layout::Place& place : form_layout::places()) {
        order.push_back(&place);
    }
    std::stable_sort(order.begin(), order.end(), [](const form_layout::Place* a, const form_layout::Place* b) {
        const int left = a->tabIndex < 0 ? 1000 : a->tabIndex;
        const int right = b->tabIndex < 0 ? 1000 : b->tabIndex;
        return left < right;
    });
    HWND previous = HWND_TOP;
    for (const form_layout::Place* place : order) {
        const std::string name = place->name;
        const ControlKind kind = kindOf(name);
        HWND control = ::CreateWindowExW(
            kind.exStyle, kind.className, widen(designText(form_, name)).c_str(), WS_CHILD | WS_VISIBLE | kind.style, 0,
            0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(form_layout::controlId(place->name))),
            instance_, nullptr);
        // The stacking order is the tab order, whatever order CreateWindow links them in.
        ::SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control;
        controls_[name] = control;
    }

    ::SendMessageW(control("ZahlText"), EM_LIMITTEXT, 5, 0);
    ::SendMessageW(control("pbar"), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    for (int i = 0; i < 5; ++i) {
        ::SendMessageW(control(indexed("Image1", i).c_str()), STM_SETICON, reinterpret_cast<WPARAM>(ball_), 0);
    }
    HWND drives = control("Drive1");
    for (const Form1::DriveItem& item : form_.drive1Items()) {
        ::SendMessageW(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item.designation).c_str()));
    }
    dir1_ = std::make_unique<FolderListBox>(control("Dir1"), instance_, scale_.dpiY(), kOpenFolderMessage,
                                            [this](const std::string& path) { return form_.openFolder(path); });
}

void Win32Form1Window::placeControls() {
    // The captions keep whole in the font in use: boxes grow into their rooms, and where that is
    // not enough every control takes a smaller font (the form's rules, shared with Linux).
    // Showing the unit list's entries first lets its box be measured with them.
    showUnitList();
    const form_layout::FittedLayout layout = form_layout::fitToFont(*measure_, scale_, measure_->basePointSize());
    const std::span<const form_layout::Place> places = form_layout::places();
    for (std::size_t i = 0; i < places.size(); ++i) {
        moveControl(places[i].name, layout.rects.at(i));
    }
    dir1_->fitItemHeight();
}

void Win32Form1Window::moveControl(const char* name, PixelRect box) {
    // The fitted boxes count from their container; here every control is the window's child.
    if (insideFrame(name)) {
        const PixelRect frame =
            scale_.toPixels(form_layout::placeOf("Frame1(1)")->left, form_layout::placeOf("Frame1(1)")->top, 0, 0);
        box.x += frame.x;
        box.y += frame.y;
    }
    // A drop-down list is created as high as its open list; the field takes its height from
    // the font.
    if (std::strcmp(name, "UnitList") == 0 || std::strcmp(name, "Drive1") == 0) {
        box.height *= kDropDownLines;
    }
    ::MoveWindow(control(name), box.x, box.y, box.width, box.height, FALSE);
}

void Win32Form1Window::show() {
    ::ShowWindow(window_, SW_SHOW);
    ::UpdateWindow(window_);
    HWND ok = control("Command1(0)");
    ::SetFocus(ok);
    // Enter presses the focused button, and the focused button shows that it would.
    ::SendMessageW(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
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
    for (const char* name : {"Chk(0)", "Chk(1)", "Chk(2)", "Opt(0)", "Opt(1)", "UnitList", "Drive1"}) {
        HWND input = control(name);
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
        self->reportInput(control);
    }
    return result;
}

void Win32Form1Window::reportInput(HWND source) {
    const int id = ::GetDlgCtrlID(source);
    const bool ticked = ::SendMessageW(source, BM_GETCHECK, 0, 0) == BST_CHECKED;
    for (int i = 0; i < 3; ++i) {
        if (id == form_layout::controlId(indexed("Chk", i).c_str())) {
            form_.tickChk(i, ticked ? 1 : 0);
            return;
        }
    }
    for (int i = 0; i < 2; ++i) {
        if (id == form_layout::controlId(indexed("Opt", i).c_str())) {
            // A check set on an option selects it; one taken from the selected option would leave
            // none selected, so the window shows the form's choice again.
            if (ticked) {
                form_.selectOpt(i);
            }
            ++showing_;
            showValues();
            --showing_;
            return;
        }
    }
    if (id == form_layout::controlId("ZahlText")) {
        const int length = ::GetWindowTextLengthW(source);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        ::GetWindowTextW(source, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(length));
        form_.typeZahlText(narrow(text));
    } else if (id == form_layout::controlId("UnitList")) {
        form_.chooseUnit(static_cast<int>(::SendMessageW(source, CB_GETCURSEL, 0, 0)));
    } else if (id == form_layout::controlId("Drive1")) {
        form_.chooseDrive(static_cast<int>(::SendMessageW(source, CB_GETCURSEL, 0, 0)));
    }
}

void Win32Form1Window::onCommand(int id, int code) {
    // IDOK and IDCANCEL, which the dialog manager sends for Enter outside a button and for
    // Escape, have no control here and do nothing.
    if (showing_ > 0) {
        return;
    }
    HWND source = ::GetDlgItem(window_, id);
    for (int i = 0; i < 3; ++i) {
        if (id == form_layout::controlId(indexed("Command1", i).c_str()) && code == BN_CLICKED) {
            form_.Command1_Click(static_cast<int16_t>(i));
            return;
        }
    }
    for (int i = 0; i < 2; ++i) {
        if (id == form_layout::controlId(indexed("Opt", i).c_str()) && code == BN_CLICKED) {
            // An option button of this kind does not check itself: the click selects it.
            form_.selectOpt(i);
            // Clicking the selected option changes nothing, but the button is shown anew.
            ++showing_;
            showValues();
            --showing_;
            return;
        }
    }
    const bool chk = id == form_layout::controlId("Chk(0)") || id == form_layout::controlId("Chk(1)") ||
                     id == form_layout::controlId("Chk(2)");
    if ((chk && code == BN_CLICKED) || (id == form_layout::controlId("ZahlText") && code == EN_CHANGE) ||
        ((id == form_layout::controlId("UnitList") || id == form_layout::controlId("Drive1")) &&
         code == CBN_SELCHANGE)) {
        // A click may have reported the box's new check already, through the BM_SETCHECK the
        // box sends itself; hearing it again changes nothing.
        reportInput(source);
    } else if (id == form_layout::controlId("Dir1") && code == LBN_DBLCLK) {
        ::PostMessageW(window_, kOpenFolderMessage, 0, 0);
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

void Win32Form1Window::formChanged(FormPart part, int index) {
    ++showing_;
    switch (part) {
    case FormPart::Caption:
        ::SetWindowTextW(window_, widen(form_.caption()).c_str());
        break;
    case FormPart::Values:
        showValues();
        break;
    case FormPart::Visibility:
        showVisibility();
        break;
    case FormPart::Enabled:
        showEnabled();
        break;
    case FormPart::UnitList:
        // The entries arrive after the window was laid out; a wider entry may need a wider box,
        // or a smaller font for all. The balls keep the size the load handler gave them.
        placeControls();
        for (int i = 0; i < 5; ++i) {
            showImage(i);
        }
        ::InvalidateRect(window_, nullptr, TRUE);
        break;
    case FormPart::Tip:
        showTip(index);
        break;
    case FormPart::Image:
        showImage(index);
        break;
    case FormPart::Progress:
        ::SendMessageW(control("pbar"), PBM_SETPOS, static_cast<WPARAM>(form_.pbarValue()), 0);
        break;
    case FormPart::Drive:
        showDrive();
        break;
    case FormPart::Folder:
        dir1_->show(form_.dir1());
        break;
    }
    --showing_;
}

void Win32Form1Window::showValues() {
    for (int i = 0; i < 3; ++i) {
        ::SendMessageW(control(indexed("Chk", i).c_str()), BM_SETCHECK,
                       form_.chkValue(i) != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    for (int i = 0; i < 2; ++i) {
        HWND option = control(indexed("Opt", i).c_str());
        const bool selected = form_.optValue(i);
        ::SendMessageW(option, BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
        // As in every option group, Tab stops only at the selected one.
        const LONG_PTR style = ::GetWindowLongPtrW(option, GWL_STYLE);
        ::SetWindowLongPtrW(option, GWL_STYLE, selected ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
    HWND zahl = control("ZahlText");
    const int length = ::GetWindowTextLengthW(zahl);
    std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(zahl, shown.data(), length + 1);
    shown.resize(static_cast<std::size_t>(length));
    if (narrow(shown) != form_.zahlText()) {
        ::SetWindowTextW(zahl, widen(form_.zahlText()).c_str());
    }
    ::SendMessageW(control("UnitList"), CB_SETCURSEL, static_cast<WPARAM>(form_.unitListIndex()), 0);
}

void Win32Form1Window::showVisibility() {
    const std::pair<const char*, Control> shown[] = {{"Label1", Control::Label1},
                                                     {"ZahlText", Control::ZahlText},
                                                     {"UnitList", Control::UnitList},
                                                     {"Drive1", Control::Drive1},
                                                     {"Dir1", Control::Dir1}};
    for (const auto& [name, which] : shown) {
        ::ShowWindow(control(name), form_.visible(which) ? SW_SHOWNA : SW_HIDE);
    }
    keepFocusUsable();
}

void Win32Form1Window::showEnabled() {
    const std::pair<const char*, Control> enabled[] = {{"Command1(0)", Control::Command1Ok},
                                                       {"Drive1", Control::Drive1},
                                                       {"Dir1", Control::Dir1},
                                                       {"ZahlText", Control::ZahlText},
                                                       {"UnitList", Control::UnitList},
                                                       {"Chk(0)", Control::Chk0},
                                                       {"Chk(1)", Control::Chk1},
                                                       {"Chk(2)", Control::Chk2},
                                                       {"Opt(0)", Control::Opt0},
                                                       {"Opt(1)", Control::Opt1}};
    for (const auto& [name, which] : enabled) {
        ::EnableWindow(control(name), form_.enabled(which) ? TRUE : FALSE);
    }
    keepFocusUsable();
}

void Win32Form1Window::showUnitList() {
    HWND list = control("UnitList");
    const std::vector<std::string>& items = form_.unitListItems();
    for (auto i = static_cast<std::size_t>(::SendMessageW(list, CB_GETCOUNT, 0, 0)); i < items.size(); ++i) {
        ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(items[i]).c_str()));
    }
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(form_.unitListIndex()), 0);
}

void Win32Form1Window::showImage(int index) {
    const std::string name = indexed("Image1", index);
    const form_layout::Place* place = form_layout::placeOf(name.c_str());
    const Form1::ImageSize size = form_.image1Size(index);
    const int width = size.width > 0 ? static_cast<int>(size.width + 0.5F) : place->width;
    const int height = size.height > 0 ? static_cast<int>(size.height + 0.5F) : place->height;
    ::SetWindowPos(control(name.c_str()), nullptr, 0, 0, scale_.toPixelsX(width), scale_.toPixelsY(height),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form1Window::showDrive() {
    ::SendMessageW(control("Drive1"), CB_SETCURSEL, static_cast<WPARAM>(form_.drive1Index()), 0);
}

void Win32Form1Window::showTip(int index) {
    const std::string name = indexed("Tip", index);
    ::SetWindowTextW(control(name.c_str()), widen(form_.tipCaption(index)).c_str());
    // A longer sentence may need the room beside or below it.
    moveControl(name.c_str(), form_layout::fitTip(*measure_, scale_, index));
    ::InvalidateRect(window_, nullptr, TRUE);
}
