// SPDX-License-Identifier: MIT
#include "platform/win32/forms_impl.h"

namespace zaptrove::platform::forms {

// Until the notification area is reached, the desktop reports none: minimising
// leaves the window on the task bar.
TrayIcon::Impl::Impl(Form& pOwner) : owner(pOwner) {
    owner.impl().trayIcon = this;
}

TrayIcon::Impl::~Impl() {
    owner.impl().trayIcon = nullptr;
}

void TrayIcon::Impl::recreate() {}

TrayIcon::TrayIcon(Form& pOwner) : impl_(std::make_unique<Impl>(pOwner)) {}
TrayIcon::~TrayIcon() = default;

bool TrayIcon::isAvailable() {
    return false;
}

void TrayIcon::add(std::string_view /*pTip*/) {
    impl_->shown = true;
}

void TrayIcon::remove() {
    impl_->shown = false;
}

bool TrayIcon::isShown() const {
    return impl_->shown;
}

} // namespace zaptrove::platform::forms
