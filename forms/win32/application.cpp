// SPDX-License-Identifier: MIT
#include "forms/win32/forms_impl.h"
#include "text/text.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>

namespace zaptrove::platform::forms {

namespace {

constexpr const wchar_t* IDLE_CLASS = L"ZaptroveIdle";
// Carries a whenIdle() action, as a heap-held std::function in lParam.
constexpr UINT WM_IDLE_ACTION = WM_APP;

// The message font at the system's scale, and the fonts made from it for
// each scale of screen and each smaller caption size.
LOGFONTW gMessageFont{};
std::map<std::pair<UINT, int>, HFONT> gFonts;
// A message-only window: it runs the actions whenIdle() posts from any thread
// and owns the clipboard's text.
std::atomic<HWND> gIdleWindow = nullptr;

LRESULT CALLBACK idleProcedure(HWND pWindow, UINT pMessage, WPARAM pWParam, LPARAM pLParam) {
    if (pMessage == WM_IDLE_ACTION) {
        const std::unique_ptr<std::function<void()>> action(
            reinterpret_cast<std::function<void()>*>(pLParam));
        (*action)();
        return 0;
    }
    return DefWindowProcW(pWindow, pMessage, pWParam, pLParam);
}

void registerClass(const wchar_t* pName, WNDPROC pProcedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = pProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = pName;
    RegisterClassExW(&windowClass);
}

struct CaptionSearch {
    std::wstring caption;
    HWND found = nullptr;
};

BOOL CALLBACK matchCaption(HWND pWindow, LPARAM pSearch) {
    auto& search = *reinterpret_cast<CaptionSearch*>(pSearch);
    wchar_t className[32];
    if (GetClassNameW(pWindow, className, 32) == 0 || std::wstring_view(className) != FORM_CLASS) {
        return TRUE;
    }
    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(pWindow)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(
        GetWindowTextW(pWindow, caption.data(), static_cast<int>(caption.size()))));
    if (caption != search.caption) {
        return TRUE;
    }
    search.found = pWindow;
    return FALSE;
}

} // namespace

OpenClipboard::OpenClipboard() {
    for (int attempt = 0; attempt < 20 && !open_; ++attempt) {
        open_ = ::OpenClipboard(gIdleWindow.load()) != FALSE;
        if (!open_) {
            Sleep(10);
        }
    }
}

OpenClipboard::~OpenClipboard() {
    if (open_) {
        CloseClipboard();
    }
}

std::wstring toWide(std::string_view pText) {
    const std::u16string units = utf8ToUtf16(pText);
    return {units.begin(), units.end()};
}

std::string toUtf8(std::wstring_view pText) {
    return utf16ToUtf8({reinterpret_cast<const char16_t*>(pText.data()), pText.size()});
}

std::string windowText(HWND pWindow) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(pWindow)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(pWindow, text.data(), static_cast<int>(text.size()))));
    return toUtf8(text);
}

UINT systemDotsPerInch() {
    return static_cast<UINT>(std::lround(1440.0f / twipsPerPixelX()));
}

// A negative height is the characters' own, a positive one their cells'; a
// font of the default height (0) has no smaller size.
HFONT dialogFont(UINT pDotsPerInch, int pSmallerBy) {
    HFONT& font = gFonts[{pDotsPerInch, pSmallerBy}];
    if (font == nullptr) {
        LOGFONTW scaled = gMessageFont;
        const int height = MulDiv(scaled.lfHeight, static_cast<int>(pDotsPerInch),
                                  static_cast<int>(systemDotsPerInch()));
        scaled.lfHeight = height < 0   ? std::min(height + pSmallerBy, -1)
                          : height > 0 ? std::max(height - pSmallerBy, 1)
                                       : 0;
        font = CreateFontIndirectW(&scaled);
    }
    return font;
}

// GetDpiForWindow is missing before Windows 10.
UINT dotsPerInchOf(HWND pWindow) {
    using GetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindow>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dotsPerInch = getDpiForWindow != nullptr ? getDpiForWindow(pWindow) : 0;
    return dotsPerInch != 0 ? dotsPerInch : systemDotsPerInch();
}

float twipsPerPixelX() {
    static const float twips = [] {
        const HDC screen = GetDC(nullptr);
        const int dotsPerInch = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
        ReleaseDC(nullptr, screen);
        return 1440.0f / static_cast<float>(dotsPerInch > 0 ? dotsPerInch : 96);
    }();
    return twips;
}

FormIcon::~FormIcon() {
    if (big != nullptr) {
        DestroyIcon(big);
    }
    if (small != nullptr) {
        DestroyIcon(small);
    }
}

struct Application::Impl {
    Impl() {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                            ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            gMessageFont = metrics.lfMessageFont;
        }
        registerClass(FORM_CLASS, formProcedure);
        registerClass(FRAME_CLASS, frameProcedure);
        registerClass(IDLE_CLASS, idleProcedure);
        gIdleWindow = CreateWindowExW(0, IDLE_CLASS, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    }
    ~Impl() {
        DestroyWindow(gIdleWindow.exchange(nullptr));
        for (const auto& [size, font] : gFonts) {
            DeleteObject(font);
        }
        gFonts.clear();
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
};

Application::Application(int& /*argc*/, char** /*argv*/) : impl_(std::make_unique<Impl>()) {}
Application::~Application() = default;

int Application::exec() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

// A quit request met here is left for the loop that waits for it.
void doEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void whenIdle(std::function<void()> pAction) {
    auto action = std::make_unique<std::function<void()>>(std::move(pAction));
    if (PostMessageW(gIdleWindow.load(), WM_IDLE_ACTION, 0,
                     reinterpret_cast<LPARAM>(action.get()))) {
        action.release();
    }
}

namespace {
std::function<void(EndRequest)>& endAction() {
    static std::function<void(EndRequest)> action;
    return action;
}
} // namespace

void whenAskedToEnd(std::function<void(EndRequest)> pAction) {
    endAction() = std::move(pAction);
}

void requestEnd(EndRequest pRequest) {
    if (endAction()) {
        endAction()(pRequest);
    }
}

// The key state as of the message being handled.
bool shiftHeld() {
    return GetKeyState(VK_SHIFT) < 0;
}

// Shows the form if hidden (raising its onActivate) and brings it to the front.
bool appActivate(std::string_view pCaption) {
    CaptionSearch search{toWide(pCaption)};
    EnumThreadWindows(GetCurrentThreadId(), matchCaption, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return false;
    }
    if (auto* form =
            reinterpret_cast<Form::Impl*>(GetWindowLongPtrW(search.found, GWLP_USERDATA))) {
        form->form.show();
    }
    SetForegroundWindow(search.found);
    SetActiveWindow(search.found);
    return true;
}

namespace {

BOOL CALLBACK addWorkArea(HMONITOR pMonitor, HDC, LPRECT, LPARAM pAreas) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(pMonitor, &info)) {
        const float twips = twipsPerPixelX();
        const RECT& work = info.rcWork;
        const TwipsRect area{static_cast<float>(work.left) * twips,
                             static_cast<float>(work.top) * twips,
                             static_cast<float>(work.right - work.left) * twips,
                             static_cast<float>(work.bottom - work.top) * twips};
        auto& areas = *reinterpret_cast<std::vector<TwipsRect>*>(pAreas);
        const bool primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
        areas.insert(primary ? areas.begin() : areas.end(), area);
    }
    return TRUE;
}

} // namespace

std::vector<TwipsRect> screenWorkAreas() {
    std::vector<TwipsRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, addWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

void clipboardClear() {
    const OpenClipboard clipboard;
    if (clipboard.isOpen()) {
        EmptyClipboard();
    }
}

void clipboardSetText(std::string_view pText) {
    const std::wstring text = toWide(pText);
    const OpenClipboard clipboard;
    if (!clipboard.isOpen()) {
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) {
        return;
    }
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
        GlobalFree(memory);
    }
}

} // namespace zaptrove::platform::forms
