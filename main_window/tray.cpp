// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

namespace zaptrove {

namespace forms = platform::forms;

// The icon gets its right-click menu when TrayMenu is on; the window is hidden
// while the icon shows, so the menu's entries bring it back first.
void frmMain::subNotifyIcon(TrayMessage pMessage) {
    if (pMessage == TrayMessage::Add) {
        std::vector<forms::TrayMenuItem> menu;
        if (settings_.TrayMenu == TRAY_MENU_ON) {
            menu = {{"Show", [this] { subRestoreFromTray(); }},
                    {"Preferences…",
                     [this] {
                         subRestoreFromTray();
                         subShowPreferences();
                     }},
                    {"Quit", [this] { form.unload(); }}};
        }
        trayIcon.setMenu(std::move(menu));
        trayIcon.add(trayData.tipShown());
    } else if (pMessage == TrayMessage::Delete) {
        trayIcon.remove();
    }
}

// A left release restores the window in single-click mode (and with any stored
// value but double-click, so the window can always come back); a left double
// click restores it in double-click mode. Other clicks do nothing here.
void frmMain::Form_MouseMove(forms::TrayClick pClick) {
    const bool doubleClickMode = settings_.Single == CLICK_DOUBLE;
    if ((pClick == forms::TrayClick::Left && !doubleClickMode) ||
        (pClick == forms::TrayClick::Double && doubleClickMode)) {
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
