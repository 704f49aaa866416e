// SPDX-License-Identifier: MIT
#include "forms/qt/forms_impl.h"

#include <optional>

namespace zaptrove::platform::forms {

namespace {

// The click an activation of the icon is; none for other activations.
std::optional<TrayClick> clickFor(QSystemTrayIcon::ActivationReason pReason) {
    switch (pReason) {
    case QSystemTrayIcon::Trigger:
        return TrayClick::Left;
    case QSystemTrayIcon::DoubleClick:
        return TrayClick::Double;
    case QSystemTrayIcon::Context:
        return TrayClick::Right;
    case QSystemTrayIcon::MiddleClick:
        return TrayClick::Middle;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return std::nullopt;
}

} // namespace

TrayIcon::Impl::Impl(TrayIcon& pIcon, Form& pOwner) : trayIcon(pIcon), owner(pOwner) {
    QObject::connect(&icon, &QSystemTrayIcon::activated, &icon,
                     [this](QSystemTrayIcon::ActivationReason pReason) { activated(pReason); });
}

void TrayIcon::Impl::activated(QSystemTrayIcon::ActivationReason pReason) const {
    const std::optional<TrayClick> click = clickFor(pReason);
    if (click && trayIcon.onClick) {
        trayIcon.onClick(*click);
    }
}

TrayIcon::TrayIcon(Form& pOwner) : impl_(std::make_unique<Impl>(*this, pOwner)) {}
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

// Qt opens the menu on a right click by itself.
void TrayIcon::setMenu(std::vector<TrayMenuItem> pItems) {
    QMenu& menu = impl_->menu;
    menu.clear();
    for (TrayMenuItem& item : pItems) {
        QObject::connect(menu.addAction(toQString(item.caption)), &QAction::triggered, &menu,
                         [choose = std::move(item.onChoose)] { fire(choose); });
    }
    impl_->icon.setContextMenu(pItems.empty() ? nullptr : &menu);
}

} // namespace zaptrove::platform::forms
