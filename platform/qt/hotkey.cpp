// SPDX-License-Identifier: MIT
#include "platform/qt/hotkey_impl.h"

#include <QGuiApplication>

namespace zaptrove::platform {

namespace {

bool onX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

// X11 grabs keys itself; elsewhere (Wayland) the desktop's portal, when it has one.
bool hotkeysOffered() {
    return onX11() || portalOffersShortcuts();
}

std::unique_ptr<Hotkey> registerHotkey(const HotkeySequence& pSequence,
                                       std::function<void()> pPressed, HotkeyReported pReported) {
    if (onX11()) {
        return registerX11Hotkey(pSequence, std::move(pPressed), pReported);
    }
    return registerPortalHotkey(pSequence, std::move(pPressed), std::move(pReported));
}

} // namespace zaptrove::platform
