// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

#include "settings/settings_store.h"

namespace zaptrove {

// A fresh dialog for every showing: it holds nothing between them but what OK
// stored in Settings. What it changed is stored and takes effect at once: the
// hotkey, the start at login, and where the list lies while searching as you type.
void frmMain::subShowPreferences() {
    Preferences = std::make_unique<frmPreferences>(settings_, form);
    Preferences->showModal();
    Preferences.reset();
    subStoreSettings();
    subApplyHotkey();
    subApplyStartAtLogin();
    Form_Resize();
}

void frmMain::cmdPrefereneces_Click() {
    subShowPreferences();
}

// Wipes the stored settings and ends the program without saving them again, so
// the next start is a first run.
void frmMain::subReset() {
    settings_.Function = FUNC_RESET;
    subDeleteSettings(services_.registry);
    form.unload();
}

} // namespace zaptrove
