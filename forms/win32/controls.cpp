// SPDX-License-Identifier: MIT
#include "forms/win32/forms_impl.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>

namespace zaptrove::platform::forms {

RECT rectInParent(HWND pWindow) {
    RECT rect{};
    GetWindowRect(pWindow, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(pWindow), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

namespace {

Form::Impl& formOf(Container pContainer) {
    return pContainer.form() != nullptr ? pContainer.form()->impl()
                                        : pContainer.frame()->impl().form;
}

LRESULT CALLBACK controlProcedure(HWND pWindow, UINT pMessage, WPARAM pWParam, LPARAM pLParam) {
    Control::Impl* control = controlOf(pWindow);
    if (pMessage == WM_MOUSEMOVE && control->kind == Kind::ListBox) {
        control->hoverRow(GET_Y_LPARAM(pLParam));
    }
    LRESULT result = 0;
    if (control->handle(pMessage, pWParam, pLParam, result)) {
        return result;
    }
    const WNDPROC system = control->systemProcedure;
    if (pMessage == WM_NCDESTROY) {
        SetWindowLongPtrW(pWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(system));
        SetWindowLongPtrW(pWindow, GWLP_USERDATA, 0);
        control->window = nullptr;
    }
    return CallWindowProcW(system, pWindow, pMessage, pWParam, pLParam);
}

// The tooltip window of a form, made when its first tip is set.
HWND tooltipOf(Form::Impl& pForm) {
    if (pForm.tooltip == nullptr) {
        pForm.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, pForm.window,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
        // Long tips (paths) wrap rather than run off the screen.
        SendMessageW(pForm.tooltip, TTM_SETMAXTIPWIDTH, 0, 600);
    }
    return pForm.tooltip;
}

TTTOOLINFOW toolOf(const Control::Impl& pControl, wchar_t* pText) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(pControl.window);
    tool.uId = reinterpret_cast<UINT_PTR>(pControl.window);
    tool.lpszText = pText;
    return tool;
}

// The direct children of a window, in order.
template <typename Visit> void forEachChild(HWND pParent, Visit pVisit) {
    for (HWND child = GetWindow(pParent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        pVisit(child);
    }
}

bool isChecked(HWND pButton) {
    return SendMessageW(pButton, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setChecked(HWND pButton, bool pChecked) {
    SendMessageW(pButton, BM_SETCHECK, pChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

} // namespace

Control::Impl* controlOf(HWND pWindow) {
    return reinterpret_cast<Control::Impl*>(GetWindowLongPtrW(pWindow, GWLP_USERDATA));
}

HWND windowOf(Container pContainer) {
    return pContainer.form() != nullptr ? pContainer.form()->impl().window
                                        : pContainer.frame()->impl().window;
}

void forwardNotification(WPARAM pWParam, LPARAM pLParam) {
    const auto child = reinterpret_cast<HWND>(pLParam);
    if (child == nullptr) {
        return;
    }
    if (Control::Impl* control = controlOf(child)) {
        control->notified(HIWORD(pWParam));
    }
}

LRESULT CALLBACK frameProcedure(HWND pWindow, UINT pMessage, WPARAM pWParam, LPARAM pLParam) {
    if (pMessage == WM_NCCREATE) {
        SetWindowLongPtrW(pWindow, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(
                              reinterpret_cast<const CREATESTRUCTW*>(pLParam)->lpCreateParams));
    }
    Control::Impl* frame = controlOf(pWindow);
    switch (pMessage) {
    case WM_COMMAND:
        forwardNotification(pWParam, pLParam);
        return 0;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        if (frame != nullptr && listRowMessage(pMessage, pLParam, frame->form.dotsPerInch)) {
            return TRUE;
        }
        break;
    case WM_SIZE:
        if (frame != nullptr && frame->groupBox != nullptr) {
            SetWindowPos(frame->groupBox, nullptr, 0, 0, LOWORD(pLParam), HIWORD(pLParam),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    case WM_SETFOCUS:
        if (frame != nullptr) {
            frame->form.restoreFocus();
        }
        return 0;
    case WM_NCDESTROY:
        if (frame != nullptr) {
            frame->window = nullptr;
        }
        SetWindowLongPtrW(pWindow, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(pWindow, pMessage, pWParam, pLParam);
}

// Each control lies over those made before it in the same parent, as the
// program's layout expects; the system puts a new child below them.
Control::Impl::Impl(Kind pKind, Container pParent, const wchar_t* pClass, DWORD pStyle,
                    DWORD pExStyle, std::string_view pText, float pLeft, float pTop, float pWidth,
                    float pHeight)
    : kind(pKind), form(formOf(pParent)) {
    window = CreateWindowExW(pExStyle, pClass, toWide(pText).c_str(),
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | pStyle, 0, 0, 0, 0,
                             windowOf(pParent), nullptr, GetModuleHandleW(nullptr), this);
    if (pKind != Kind::Frame) {
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        systemProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProcedure)));
    }
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    setFont(dialogFont(form.dotsPerInch));
    setControlSide(*this, Side::Left, pLeft);
    setControlSide(*this, Side::Top, pTop);
    setControlSide(*this, Side::Width, pWidth);
    setControlSide(*this, Side::Height, pHeight);
    form.controls.push_back(this);
    if (takesFocus()) {
        form.tabOrder.push_back(this);
    }
}

Control::Impl::~Impl() {
    std::erase(form.controls, this);
    std::erase(form.tabOrder, this);
    if (form.cancelButton == this) {
        form.cancelButton = nullptr;
    }
    if (window == nullptr) {
        return;
    }
    if (form.lastFocus == window) {
        form.lastFocus = nullptr;
    }
    if (!toolTip.empty() && form.tooltip != nullptr) {
        TTTOOLINFOW tool = toolOf(*this, nullptr);
        SendMessageW(form.tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    DestroyWindow(window);
}

float controlSide(const Control::Impl& pControl, Side pSide) {
    const int pixels = sideOf(rectInParent(pControl.window), pSide);
    return pControl.memory.get(pSide, pixels, pixels, pControl.form.twipsPerPixel());
}

void setControlSide(Control::Impl& pControl, Side pSide, float pTwips) {
    const RECT rect = rectInParent(pControl.window);
    const int pixels =
        std::max(isPosition(pSide) ? INT_MIN : 0, toPixels(pTwips, pControl.form.twipsPerPixel()));
    pControl.memory.remember(pSide, pTwips, pixels);
    const int left = pSide == Side::Left ? pixels : rect.left;
    const int top = pSide == Side::Top ? pixels : rect.top;
    const int width = pSide == Side::Width ? pixels : rect.right - rect.left;
    const int height = pSide == Side::Height ? pixels : rect.bottom - rect.top;
    SetWindowPos(pControl.window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::Impl::setFont(HFONT pFont) const {
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(pFont), TRUE);
    if (kind == Kind::ListBox) {
        fitListRows(*this);
    }
    if (groupBox != nullptr) {
        SendMessageW(groupBox, WM_SETFONT, reinterpret_cast<WPARAM>(pFont), TRUE);
    }
}

bool Control::Impl::takesFocus() const {
    return kind != Kind::Frame && kind != Kind::Label;
}

void Control::Impl::notified(WORD pCode) {
    switch (kind) {
    case Kind::Button:
        if (pCode == BN_CLICKED) {
            fire(*onClick);
        }
        break;
    case Kind::Option:
        if (pCode == BN_CLICKED) {
            select();
        }
        break;
    case Kind::TextBox:
        if (pCode == EN_CHANGE && !settingText) {
            fire(*onChange);
        }
        break;
    case Kind::ListBox:
        if (pCode == LBN_SELCHANGE) {
            fire(*onClick);
        } else if (pCode == LBN_DBLCLK) {
            fire(*onDblClick);
        }
        break;
    default:
        break;
    }
}

void Control::Impl::click() {
    switch (kind) {
    case Kind::Button:
        fire(*onClick);
        break;
    case Kind::CheckBox:
        setChecked(window, !isChecked(window));
        break;
    case Kind::Option:
        select();
        break;
    default:
        break;
    }
}

// Option buttons in frames below the parent form groups of their own.
void Control::Impl::select() const {
    setChecked(window, true);
    forEachChild(GetParent(window), [this](HWND pSibling) {
        const Control::Impl* sibling = controlOf(pSibling);
        if (sibling != nullptr && sibling != this && sibling->kind == Kind::Option) {
            setChecked(pSibling, false);
        }
    });
}

Control::Control(std::unique_ptr<Impl> pImpl) : impl_(std::move(pImpl)) {}
Control::~Control() = default;

bool Control::visible() const {
    return (GetWindowLongW(impl_->window, GWL_STYLE) & WS_VISIBLE) != 0;
}
void Control::setVisible(bool pVisible) {
    ShowWindow(impl_->window, pVisible ? SW_SHOWNA : SW_HIDE);
}
bool Control::tabStop() const {
    return (GetWindowLongW(impl_->window, GWL_STYLE) & WS_TABSTOP) != 0;
}
void Control::setTabStop(bool pTabStop) {
    const LONG style = GetWindowLongW(impl_->window, GWL_STYLE);
    SetWindowLongW(impl_->window, GWL_STYLE, pTabStop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
}
std::string Control::toolTip() const {
    return impl_->toolTip;
}

void Control::setToolTip(std::string_view pText) {
    setToolTipOf(*impl_, pText);
}

void setToolTipOf(Control::Impl& pControl, std::string_view pText) {
    const HWND tooltip = tooltipOf(pControl.form);
    std::wstring text = toWide(pText);
    TTTOOLINFOW tool = toolOf(pControl, text.data());
    if (pControl.toolTip.empty()) {
        SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else if (text.empty()) {
        SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    pControl.toolTip = std::string(pText);
}

// A row's own tooltip, when the list answers one for the row under the mouse:
// the previous row's tip goes at once, the new one shows after the usual pause,
// wrapped to a third of the screen's width.
void Control::Impl::hoverRow(int pY) {
    if (rowToolTip == nullptr || !*rowToolTip) {
        return;
    }
    const auto top = static_cast<int>(SendMessageW(window, LB_GETTOPINDEX, 0, 0));
    const auto height = static_cast<int>(SendMessageW(window, LB_GETITEMHEIGHT, 0, 0));
    const auto count = static_cast<int>(SendMessageW(window, LB_GETCOUNT, 0, 0));
    const int under = height > 0 && pY >= 0 ? top + pY / height : -1;
    const int row = under < count ? under : -1;
    if (row == hoveredRow) {
        return;
    }
    hoveredRow = row;
    const std::optional<std::string> text = (*rowToolTip)(row);
    if (!text) {
        return;
    }
    const HWND tooltip = tooltipOf(form);
    SendMessageW(tooltip, TTM_POP, 0, 0);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, (monitor.rcWork.right - monitor.rcWork.left) / 3);
    setToolTipOf(*this, *text);
}

void Control::setFocus() {
    SetFocus(impl_->window);
}

Container::Container(Form& pForm) : form_(&pForm) {}
Container::Container(Frame& pFrame) : frame_(&pFrame) {}

Frame::Frame(Container pParent, float pLeft, float pTop, float pWidth, float pHeight)
    : Control(std::make_unique<Impl>(Kind::Frame, pParent, FRAME_CLASS, 0, WS_EX_CONTROLPARENT, "",
                                     pLeft, pTop, pWidth, pHeight)) {}

// The group box is the frame's first child, so every control lies over it.
Frame::Frame(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
             std::string_view pCaption)
    : Frame(pParent, pLeft, pTop, pWidth, pHeight) {
    Impl& frame = impl();
    RECT client{};
    GetClientRect(frame.window, &client);
    frame.groupBox = CreateWindowExW(
        0, L"BUTTON", toWide(pCaption).c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 0,
        client.right, client.bottom, frame.window, nullptr, GetModuleHandleW(nullptr), nullptr);
    frame.setFont(dialogFont(frame.form.dotsPerInch));
}

std::string Frame::caption() const {
    return impl().groupBox != nullptr ? windowText(impl().groupBox) : std::string();
}

Label::Label(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
             std::string_view pCaption)
    : Control(std::make_unique<Impl>(Kind::Label, pParent, L"STATIC",
                                     SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0, pCaption, pLeft, pTop,
                                     pWidth, pHeight)) {}

std::string Label::caption() const {
    return windowText(impl().window);
}
void Label::setCaption(std::string_view pCaption) {
    SetWindowTextW(impl().window, toWide(pCaption).c_str());
}

bool Checkable::value() const {
    return isChecked(impl().window);
}
void Checkable::setValue(bool pValue) {
    if (pValue && impl().kind == Kind::Option) {
        impl().select();
    } else {
        setChecked(impl().window, pValue);
    }
}

CheckBox::CheckBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
                   std::string_view pCaption)
    : Checkable(std::make_unique<Impl>(Kind::CheckBox, pParent, L"BUTTON",
                                       BS_AUTOCHECKBOX | WS_TABSTOP, 0, pCaption, pLeft, pTop,
                                       pWidth, pHeight)) {}

// A click selects the button and clears the others (see notified()).
OptionButton::OptionButton(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
                           std::string_view pCaption)
    : Checkable(std::make_unique<Impl>(Kind::Option, pParent, L"BUTTON",
                                       BS_RADIOBUTTON | WS_TABSTOP, 0, pCaption, pLeft, pTop,
                                       pWidth, pHeight)) {}

TextBox::TextBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight)
    : Control(std::make_unique<Impl>(Kind::TextBox, pParent, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP,
                                     WS_EX_CLIENTEDGE, "", pLeft, pTop, pWidth, pHeight)) {
    impl().onKeyPress = &onKeyPress;
    impl().onKeyDown = &onKeyDown;
    impl().onChange = &onChange;
}

std::string TextBox::text() const {
    return windowText(impl().window);
}

void TextBox::setText(std::string_view pText) {
    impl().settingText = true;
    SetWindowTextW(impl().window, toWide(pText).c_str());
    impl().settingText = false;
}

void TextBox::setSelStart(int pStart) {
    const int start = std::clamp(pStart, 0, GetWindowTextLengthW(impl().window));
    SendMessageW(impl().window, EM_SETSEL, static_cast<WPARAM>(start), start);
}

// The edit control stops a selection at the end of the text.
void TextBox::setSelLength(int pLength) {
    DWORD start = 0;
    SendMessageW(impl().window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    SendMessageW(impl().window, EM_SETSEL, start,
                 static_cast<LPARAM>(start) + std::max(pLength, 0));
}

std::string TextBox::selectedText() const {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(impl().window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const std::wstring text = toWide(this->text());
    return toUtf8(std::wstring_view(text).substr(start, end - std::min(start, end)));
}

void TextBox::setReadOnly(bool pReadOnly) {
    SendMessageW(impl().window, EM_SETREADONLY, pReadOnly ? TRUE : FALSE, 0);
}

// A read-only edit box, whose keys takeCombination() turns into the text.
HotkeyBox::HotkeyBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight)
    : Control(std::make_unique<Impl>(Kind::HotkeyBox, pParent, L"EDIT",
                                     ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, WS_EX_CLIENTEDGE,
                                     "", pLeft, pTop, pWidth, pHeight)) {
    impl().onChange = &onChange;
    SendMessageW(impl().window, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"None"));
}

std::string HotkeyBox::text() const {
    return windowText(impl().window);
}
void HotkeyBox::setText(std::string_view pText) {
    SetWindowTextW(impl().window, toWide(pText).c_str());
}

CommandButton::CommandButton(Container pParent, float pLeft, float pTop, float pWidth,
                             float pHeight, std::string_view pCaption)
    : Control(std::make_unique<Impl>(Kind::Button, pParent, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP,
                                     0, pCaption, pLeft, pTop, pWidth, pHeight)) {
    impl().onClick = &onClick;
}

} // namespace zaptrove::platform::forms
