// SPDX-License-Identifier: MIT
#include "forms/win32/forms_impl.h"

#include <algorithm>
#include <array>
#include <climits>

namespace zaptrove::platform::forms {

namespace {

// A main window has a minimise box and a sizing border but no maximise box; a
// dialog has the close box only.
DWORD styleOf(FormStyle pStyle) {
    const DWORD common = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    return pStyle == FormStyle::Dialog ? common : common | WS_MINIMIZEBOX | WS_THICKFRAME;
}

// The outer rectangle, or the one a minimised window is restored to.
RECT outerRect(HWND pWindow) {
    if (IsIconic(pWindow)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(pWindow, &placement);
        return placement.rcNormalPosition;
    }
    RECT rect{};
    GetWindowRect(pWindow, &rect);
    return rect;
}

void setSideOf(RECT& pRect, Side pSide, int pPixels) {
    switch (pSide) {
    case Side::Left:
        OffsetRect(&pRect, pPixels - pRect.left, 0);
        break;
    case Side::Top:
        OffsetRect(&pRect, 0, pPixels - pRect.top);
        break;
    case Side::Width:
        pRect.right = pRect.left + pPixels;
        break;
    case Side::Height:
        pRect.bottom = pRect.top + pPixels;
        break;
    }
}

// A dialog the program did not place opens centred over the active window.
void centreOverActiveWindow(const Form::Impl& pForm) {
    RECT area{};
    const HWND active = GetActiveWindow();
    if (active == nullptr || active == pForm.window || !GetWindowRect(active, &area)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    const RECT own = outerRect(pForm.window);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    SetWindowPos(pForm.window, nullptr, (area.left + area.right - width) / 2,
                 std::max<int>(area.top, (area.top + area.bottom - height) / 2), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void applyIcon(Form::Impl& pForm, std::shared_ptr<const FormIcon> pIcon) {
    pForm.icon = std::move(pIcon);
    const HICON big = pForm.icon ? pForm.icon->big : nullptr;
    const HICON small = pForm.icon ? pForm.icon->small : nullptr;
    SendMessageW(pForm.window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(pForm.window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

// An icon of the given size from PNG bytes, which icon resources may hold.
HICON iconFromPng(std::string_view pPngBytes, int pSizeMetric) {
    const int size = GetSystemMetrics(pSizeMetric);
    return CreateIconFromResourceEx(reinterpret_cast<PBYTE>(const_cast<char*>(pPngBytes.data())),
                                    static_cast<DWORD>(pPngBytes.size()), TRUE, 0x00030000, size,
                                    size, LR_DEFAULTCOLOR);
}

struct ModalSearch {
    HWND dialog;
    std::vector<HWND>* disabled;
};

// Disables every other shown and enabled form of the program.
BOOL CALLBACK disableOtherForm(HWND pWindow, LPARAM pSearch) {
    const auto& search = *reinterpret_cast<const ModalSearch*>(pSearch);
    wchar_t className[32];
    if (pWindow != search.dialog && GetClassNameW(pWindow, className, 32) != 0 &&
        std::wstring_view(className) == FORM_CLASS && IsWindowVisible(pWindow) &&
        IsWindowEnabled(pWindow)) {
        EnableWindow(pWindow, FALSE);
        search.disabled->push_back(pWindow);
    }
    return TRUE;
}

void enableAgain(std::vector<HWND>& pDisabled) {
    for (const HWND window : pDisabled) {
        EnableWindow(window, TRUE);
    }
    pDisabled.clear();
}

const UINT kTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

} // namespace

float formSide(const Form::Impl& pForm, Side pSide) {
    const int pixels = sideOf(outerRect(pForm.window), pSide);
    return pForm.memory.get(pSide, pixels, pixels, pForm.twipsPerPixel());
}

// Remembered first: the resize handler may run at once, read this size and
// set another, which must not be overwritten afterwards. A minimised window
// keeps the change for when it is restored.
void setFormSide(Form::Impl& pForm, Side pSide, float pTwips) {
    RECT rect = outerRect(pForm.window);
    const int pixels =
        std::max(isPosition(pSide) ? INT_MIN : 0, toPixels(pTwips, pForm.twipsPerPixel()));
    setSideOf(rect, pSide, pixels);
    pForm.memory.remember(pSide, pTwips, pixels);
    pForm.placed = pForm.placed || isPosition(pSide);
    if (IsIconic(pForm.window)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(pForm.window, &placement);
        placement.rcNormalPosition = rect;
        SetWindowPlacement(pForm.window, &placement);
        return;
    }
    SetWindowPos(pForm.window, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

int sideOf(const RECT& pRect, Side pSide) {
    switch (pSide) {
    case Side::Left:
        return pRect.left;
    case Side::Top:
        return pRect.top;
    case Side::Width:
        return pRect.right - pRect.left;
    case Side::Height:
        return pRect.bottom - pRect.top;
    }
    return 0;
}

LRESULT CALLBACK formProcedure(HWND pWindow, UINT pMessage, WPARAM pWParam, LPARAM pLParam) {
    if (pMessage == WM_NCCREATE) {
        auto* form = static_cast<Form::Impl*>(
            reinterpret_cast<const CREATESTRUCTW*>(pLParam)->lpCreateParams);
        form->window = pWindow;
        SetWindowLongPtrW(pWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form::Impl*>(GetWindowLongPtrW(pWindow, GWLP_USERDATA));
    // The controls ask their form first, so this covers them too.
    if (pMessage == WM_SETCURSOR && form != nullptr && form->busy && LOWORD(pLParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
        return TRUE;
    }
    if (form != nullptr && form->handle(pMessage, pWParam, pLParam)) {
        return 0;
    }
    if (pMessage == WM_NCDESTROY && form != nullptr) {
        form->window = nullptr;
        SetWindowLongPtrW(pWindow, GWLP_USERDATA, 0);
    }
    return DefWindowProcW(pWindow, pMessage, pWParam, pLParam);
}

bool Form::Impl::handle(UINT pMessage, WPARAM pWParam, LPARAM pLParam) {
    switch (pMessage) {
    case WM_COMMAND:
        forwardNotification(pWParam, pLParam);
        return true;
    case WM_SIZE:
        fire(form.onResize);
        return true;
    case WM_ACTIVATE:
        if (LOWORD(pWParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus != nullptr && IsChild(window, focus)) {
                lastFocus = focus;
            }
            return true;
        }
        if (HIWORD(pWParam) == 0) {
            restoreFocus();
            return true;
        }
        return false;
    case WM_SETFOCUS:
        restoreFocus();
        return true;
    case WM_CLOSE:
        form.unload();
        return true;
    case WM_ENDSESSION:
        // The session ends once this returns: whatever is to be kept is stored now.
        if (pWParam != FALSE) {
            requestEnd(EndRequest::SessionEnding);
        }
        return true;
    case WM_SHOWWINDOW:
        // A modal showing ends as the dialog is hidden; the forms it disabled
        // are enabled first, so one of them becomes the active window.
        if (pWParam == FALSE) {
            enableAgain(disabledByModal);
        }
        return false;
    case WM_TIMER:
        for (Timer::Impl* timer : timers) {
            if (timer->id() == pWParam) {
                timer->elapsed();
                break;
            }
        }
        return true;
    case WM_DPICHANGED:
        rescale(LOWORD(pWParam), *reinterpret_cast<const RECT*>(pLParam));
        return true;
    case WM_GETMINMAXINFO:
        // The program's layout, not the system, decides how small a form gets.
        reinterpret_cast<MINMAXINFO*>(pLParam)->ptMinTrackSize = POINT{1, 1};
        return true;
    case WM_TRAY_CALLBACK:
        if (trayIcon != nullptr) {
            trayIcon->notified(LOWORD(pLParam));
        }
        return true;
    case WM_KEYDOWN:
        if (pWParam == VK_ESCAPE) {
            return pressCancel();
        }
        if (pWParam == VK_RETURN) {
            return pressDefault();
        }
        if (pWParam == VK_TAB) {
            moveFocus(nullptr, GetKeyState(VK_SHIFT) < 0);
            return true;
        }
        return false;
    case WM_SYSCHAR:
        return pressAccessKey(static_cast<wchar_t>(pWParam));
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        return listRowMessage(pMessage, pLParam, dotsPerInch);
    default:
        if (pMessage == kTaskbarCreated && trayIcon != nullptr) {
            trayIcon->recreate();
        }
        return false;
    }
}

Form::Impl::Impl(Form& pForm, std::string_view pCaption, float pClientWidth, float pClientHeight,
                 FormStyle pStyle)
    : form(pForm), style(pStyle) {
    RECT rect{0, 0, toPixels(pClientWidth), toPixels(pClientHeight)};
    AdjustWindowRectEx(&rect, styleOf(pStyle), FALSE, 0);
    CreateWindowExW(0, FORM_CLASS, toWide(pCaption).c_str(), styleOf(pStyle), CW_USEDEFAULT,
                    CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    dotsPerInch = dotsPerInchOf(window);
}

// The sides are read at the old scale before any is set at the new one; the
// form's own size change then lays it out afresh.
void Form::Impl::rescale(UINT pDotsPerInch, const RECT& pSuggested) {
    std::vector<std::array<float, 4>> sides;
    for (const Control::Impl* control : controls) {
        sides.push_back({controlSide(*control, Side::Left), controlSide(*control, Side::Top),
                         controlSide(*control, Side::Width), controlSide(*control, Side::Height)});
    }
    dotsPerInch = pDotsPerInch;
    const HFONT font = dialogFont(pDotsPerInch);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        controls[i]->setFont(font);
        for (const Side side : {Side::Left, Side::Top, Side::Width, Side::Height}) {
            setControlSide(*controls[i], side, sides[i][static_cast<std::size_t>(side)]);
        }
    }
    fitCaptions();
    SetWindowPos(window, nullptr, pSuggested.left, pSuggested.top,
                 pSuggested.right - pSuggested.left, pSuggested.bottom - pSuggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

Form::Impl::~Impl() {
    if (window != nullptr) {
        DestroyWindow(window);
    }
}

Form::Form(std::string_view pCaption, float pClientWidth, float pClientHeight, FormStyle pStyle)
    : impl_(std::make_unique<Impl>(*this, pCaption, pClientWidth, pClientHeight, pStyle)) {}

Form::~Form() = default;

std::string Form::caption() const {
    return windowText(impl_->window);
}
void Form::setCaption(std::string_view pCaption) {
    SetWindowTextW(impl_->window, toWide(pCaption).c_str());
}

int Form::windowState() const {
    const HWND window = impl_->window;
    if (!IsWindowVisible(window) && impl_->pendingState >= 0) {
        return impl_->pendingState;
    }
    return IsIconic(window)   ? WINDOW_MINIMIZED
           : IsZoomed(window) ? WINDOW_MAXIMIZED
                              : WINDOW_NORMAL;
}

// A hidden form takes its new state when next shown.
void Form::setWindowState(int pState) {
    if (!IsWindowVisible(impl_->window)) {
        impl_->pendingState = pState;
        return;
    }
    ShowWindow(impl_->window, pState == WINDOW_MINIMIZED   ? SW_MINIMIZE
                              : pState == WINDOW_MAXIMIZED ? SW_MAXIMIZE
                                                           : SW_RESTORE);
}

void Form::show() {
    Impl& impl = *impl_;
    impl.fitCaptions();
    if (IsWindowVisible(impl.window)) {
        return;
    }
    if (impl.style == FormStyle::Dialog && !impl.placed) {
        centreOverActiveWindow(impl);
        impl.placed = true;
    }
    const int state = impl.pendingState;
    impl.pendingState = -1;
    ShowWindow(impl.window, state == WINDOW_MINIMIZED   ? SW_SHOWMINIMIZED
                            : state == WINDOW_MAXIMIZED ? SW_SHOWMAXIMIZED
                            : state == WINDOW_NORMAL    ? SW_SHOWNORMAL
                                                        : SW_SHOW);
    // The focused control draws its focus ring from the start, not only once
    // a key has been pressed.
    SendMessageW(impl.window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    fire(onActivate);
}

// Every other form is disabled while the dialog is up, and the dialog is owned
// by the window that was active, so it stays above it. A form that its
// onActivate hides or unloads gets no loop, which would never end.
void Form::showModal() {
    Impl& impl = *impl_;
    hide();
    const HWND owner = GetActiveWindow();
    ModalSearch search{impl.window, &impl.disabledByModal};
    EnumThreadWindows(GetCurrentThreadId(), disableOtherForm, reinterpret_cast<LPARAM>(&search));
    if (owner != impl.window) {
        SetWindowLongPtrW(impl.window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    }
    show();
    MSG message;
    while (impl.window != nullptr && IsWindowVisible(impl.window)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(message.wParam));
            }
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    enableAgain(impl.disabledByModal);
    if (impl.window != nullptr) {
        SetWindowLongPtrW(impl.window, GWLP_HWNDPARENT, 0);
    }
    if (owner != nullptr && owner != impl.window && IsWindowVisible(owner)) {
        SetActiveWindow(owner);
    }
}

// The message wakes a modal loop that waits for the form to go.
void Form::hide() {
    ShowWindow(impl_->window, SW_HIDE);
    PostMessageW(impl_->window, WM_NULL, 0, 0);
}

bool Form::isShown() const {
    return IsWindowVisible(impl_->window) != FALSE;
}

bool Form::isActive() const {
    const HWND focus = GetFocus();
    return GetForegroundWindow() == impl_->window &&
           (focus == impl_->window || IsChild(impl_->window, focus) != FALSE);
}

// The pointer changes at the mouse's next move over the form.
void Form::setBusy(bool pBusy) {
    impl_->busy = pBusy;
}

// onUnload runs first, and may end the program; the window is then hidden,
// ready to be shown again.
void Form::unload() {
    fire(onUnload);
    hide();
}

void Form::setIcon(std::string_view pPngBytes) {
    auto icon = std::make_shared<FormIcon>();
    icon->big = iconFromPng(pPngBytes, SM_CXICON);
    icon->small = iconFromPng(pPngBytes, SM_CXSMICON);
    applyIcon(*impl_, std::move(icon));
}

void Form::setIconFrom(const Form& pOther) {
    applyIcon(*impl_, pOther.impl_->icon);
}

void Form::setCancelButton(CommandButton& pButton) {
    impl_->cancelButton = &pButton.impl();
}

void Form::setDefaultButton(CommandButton& pButton) {
    impl_->defaultButton = &pButton.impl();
    SendMessageW(pButton.impl().window, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

// As each control follows the one before it, it moves to just after it.
void Form::setTabOrder(std::initializer_list<Control*> pControls) {
    std::vector<Control::Impl*>& order = impl_->tabOrder;
    const Control* previous = nullptr;
    for (const Control* control : pControls) {
        const auto moved = std::find(order.begin(), order.end(), &control->impl());
        if (previous != nullptr && previous != control && moved != order.end() &&
            std::find(order.begin(), order.end(), &previous->impl()) != order.end()) {
            order.erase(moved);
            order.insert(std::find(order.begin(), order.end(), &previous->impl()) + 1,
                         &control->impl());
        }
        previous = control;
    }
}

std::uintptr_t Form::nativeHandle() const {
    return reinterpret_cast<std::uintptr_t>(impl_->window);
}

} // namespace zaptrove::platform::forms
