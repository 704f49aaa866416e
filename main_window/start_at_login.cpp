// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

namespace zaptrove {

namespace forms = platform::forms;

void frmMain::subApplyStartAtLogin() {
    platform::Autostart& autostart = *services_.autostart;
    if (settings_.StartAtLogin == autostart.isOn()) {
        return;
    }
    if (const std::string problem = autostart.setOn(settings_.StartAtLogin); !problem.empty()) {
        subDebug(LOG_FAIL, "Starting at login could not be changed: " + problem);
        settings_.StartAtLogin = autostart.isOn();
    }
}

// Minimising does what it always does: into the tray when Tray is on.
void frmMain::subStartedAtLogin() {
    if (settings_.Tray == TRAY_ON) {
        form.setWindowState(forms::WINDOW_MINIMIZED);
    }
}

} // namespace zaptrove
