// SPDX-License-Identifier: MIT
#include "platform/win32/forms_impl.h"

#include <algorithm>

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

} // namespace

TrayIcon::Impl::Impl(Form& pOwner) : owner(pOwner) {
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

TrayIcon::TrayIcon(Form& pOwner) : impl_(std::make_unique<Impl>(pOwner)) {}

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

} // namespace zaptrove::platform::forms
