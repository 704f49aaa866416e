// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

#include <cmath>

namespace zaptrove {

namespace forms = platform::forms;

namespace {

// The mouse messages the notification area reports for its icon.
constexpr long kLeftButtonUp = 0x0202;
constexpr long kLeftDoubleClick = 0x0203;

} // namespace

void frmMain::subNotifyIcon(TrayMessage pMessage) {
    if (pMessage == TrayMessage::Add) {
        trayIcon.add(trayData.tipShown());
    } else if (pMessage == TrayMessage::Delete) {
        trayIcon.remove();
    }
}

// The icon's mouse events arrive as mouse moves whose X holds the message
// number in pixels. A left release restores the window in single-click mode (and
// with any stored value but double-click, so the window can always come back);
// a left double click restores it in double-click mode.
void frmMain::Form_MouseMove(std::int16_t /*Button*/, std::int16_t /*Shift*/, float X,
                             float /*Y*/) {
    const long message = std::lrint(X / forms::twipsPerPixelX());
    const bool doubleClickMode = settings_.Single == CLICK_DOUBLE;
    if ((message == kLeftButtonUp && !doubleClickMode) ||
        (message == kLeftDoubleClick && doubleClickMode)) {
        subRestoreFromTray();
    }
}

void frmMain::subRestoreFromTray() {
    form.setWindowState(forms::WINDOW_NORMAL);
    form.show();
    subNotifyIcon(TrayMessage::Delete);
    forms::appActivate(form.caption());
    forms::doEvents();
}

void frmMain::subBringToFront() {
    if (trayIcon.isShown()) {
        subRestoreFromTray();
    } else {
        if (form.windowState() == forms::WINDOW_MINIMIZED) {
            form.setWindowState(forms::WINDOW_NORMAL);
        }
        forms::appActivate(form.caption());
    }
    txtInput.setFocus();
    // The old text selected: typing replaces it, an arrow key keeps it.
    txtInput.setSelStart(0);
    txtInput.setSelLength(static_cast<int>(txtInput.text().size()));
}

} // namespace zaptrove
