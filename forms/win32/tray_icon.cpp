// SPDX-License-Identifier: MIT
#include "forms/win32/forms_impl.h"

#include <algorithm>
#include <optional>

#include <shellapi.h>

namespace zaptrove::platform::forms {

namespace {

constexpr UINT kIconId = 1;

// The owner's small icon, else the system's.
HICON iconOf(const Form& pOwner) {
    const std::shared_ptr<const FormIcon>& icon = pOwner.impl().icon;
    return icon != nullptr && icon->small != nullptr ? icon->small
                                                     : LoadIconW(nullptr, IDI_APPLICATION);
}

// Asks the shell to add, change or remove the icon; the shell reports its
// mouse messages to the owner form's window.
void notify(const TrayIcon::Impl& pIcon, DWORD pMessage) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = pIcon.owner.impl().window;
    data.uID = kIconId;
    if (pMessage != NIM_DELETE) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = WM_TRAY_CALLBACK;
        data.hIcon = iconOf(pIcon.owner);
        const std::size_t length = std::min(pIcon.tip.size(), std::size(data.szTip) - 1);
        std::copy_n(pIcon.tip.begin(), length, data.szTip);
    }
    Shell_NotifyIconW(pMessage, &data);
}

// The click a mouse message over the icon completes; none for the others.
std::optional<TrayClick> clickFor(UINT pMouseMessage) {
    switch (pMouseMessage) {
    case WM_LBUTTONUP:
        return TrayClick::Left;
    case WM_LBUTTONDBLCLK:
        return TrayClick::Double;
    case WM_RBUTTONUP:
        return TrayClick::Right;
    case WM_MBUTTONUP:
        return TrayClick::Middle;
    default:
        return std::nullopt;
    }
}

} // namespace

TrayIcon::Impl::Impl(TrayIcon& pIcon, Form& pOwner) : trayIcon(pIcon), owner(pOwner) {
    owner.impl().trayIcon = this;
}

TrayIcon::Impl::~Impl() {
    owner.impl().trayIcon = nullptr;
}

// The new notification area starts empty.
void TrayIcon::Impl::recreate() {
    if (shown) {
        notify(*this, NIM_ADD);
    }
}

void TrayIcon::Impl::notified(UINT pMouseMessage) const {
    const std::optional<TrayClick> click = clickFor(pMouseMessage);
    if (click && trayIcon.onClick) {
        trayIcon.onClick(*click);
    }
    if (click == TrayClick::Right && !menu.empty()) {
        showMenu();
    }
}

// The owner comes to the front first, so that a click elsewhere closes the
// menu; the entry's handler runs once the menu is gone (it may end the program).
void TrayIcon::Impl::showMenu() const {
    const HWND window = owner.impl().window;
    const HMENU popup = CreatePopupMenu();
    for (std::size_t i = 0; i < menu.size(); ++i) {
        AppendMenuW(popup, MF_STRING, i + 1, toWide(menu[i].caption).c_str());
    }
    POINT at{};
    GetCursorPos(&at);
    SetForegroundWindow(window);
    const auto chosen = static_cast<std::size_t>(TrackPopupMenu(
        popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr));
    PostMessageW(window, WM_NULL, 0, 0);
    DestroyMenu(popup);
    if (chosen != 0 && chosen <= menu.size()) {
        const EventHandler choose = menu[chosen - 1].onChoose;
        fire(choose);
    }
}

TrayIcon::TrayIcon(Form& pOwner) : impl_(std::make_unique<Impl>(*this, pOwner)) {}

// Leaving takes the icon out of the notification area.
TrayIcon::~TrayIcon() {
    remove();
}

// Explorer's task bar holds the notification area.
bool TrayIcon::isAvailable() {
    return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
}

void TrayIcon::add(std::string_view pTip) {
    impl_->tip = toWide(pTip);
    notify(*impl_, impl_->shown ? NIM_MODIFY : NIM_ADD);
    impl_->shown = true;
}

void TrayIcon::remove() {
    if (impl_->shown) {
        notify(*impl_, NIM_DELETE);
        impl_->shown = false;
    }
}

bool TrayIcon::isShown() const {
    return impl_->shown;
}

void TrayIcon::setMenu(std::vector<TrayMenuItem> pItems) {
    impl_->menu = std::move(pItems);
}

} // namespace zaptrove::platform::forms
