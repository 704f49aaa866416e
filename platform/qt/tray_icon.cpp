// SPDX-License-Identifier: MIT
#include "platform/qt/forms_impl.h"

#include <optional>

namespace zaptrove::platform::forms {

namespace {

// The mouse message a click on the icon gives; none for other activations.
std::optional<int> messageFor(QSystemTrayIcon::ActivationReason pReason) {
    switch (pReason) {
    case QSystemTrayIcon::Trigger:
        return TRAY_LEFT_UP;
    case QSystemTrayIcon::DoubleClick:
        return TRAY_LEFT_DOUBLE_CLICK;
    case QSystemTrayIcon::Context:
        return TRAY_RIGHT_UP;
    case QSystemTrayIcon::MiddleClick:
        return TRAY_MIDDLE_UP;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return std::nullopt;
}

} // namespace

TrayIcon::Impl::Impl(Form& pOwner) : owner(pOwner) {
    QObject::connect(&icon, &QSystemTrayIcon::activated, &icon,
                     [this](QSystemTrayIcon::ActivationReason pReason) { activated(pReason); });
}

void TrayIcon::Impl::activated(QSystemTrayIcon::ActivationReason pReason) const {
    const std::optional<int> message = messageFor(pReason);
    if (message && owner.onMouseMove) {
        owner.onMouseMove(0, 0, static_cast<float>(*message) * twipsPerPixelX(), 0.0f);
    }
}

TrayIcon::TrayIcon(Form& pOwner) : impl_(std::make_unique<Impl>(pOwner)) {}
TrayIcon::~TrayIcon() = default;

bool TrayIcon::isAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::add(std::string_view pTip) {
    QSystemTrayIcon& icon = impl_->icon;
    icon.setIcon(impl_->owner.impl().widget.windowIcon());
    icon.setToolTip(toQString(pTip));
    icon.show();
}

void TrayIcon::remove() {
    impl_->icon.hide();
}

bool TrayIcon::isShown() const {
    return impl_->icon.isVisible();
}

} // namespace zaptrove::platform::forms
