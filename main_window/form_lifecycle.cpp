// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

#include "main_window/window_placement.h"
#include "search/discovery/start_up.h"
#include "settings/settings_store.h"
#include "settings/version.h"

#include <algorithm>

namespace zaptrove {

namespace forms = platform::forms;

frmMain::frmMain(Settings& settings, Services services)
    : form("Zaptrove", 4425, 315), frmFrame(form, 0, -45, 3360, 480),
      cmdCancel(frmFrame, 2070, 135, 465, 240, "Cancel"), txtInput(frmFrame, 45, 135, 1965, 285),
      cmdPrefereneces(frmFrame, 2835, 135, 465, 285, "&Pref"),
      cboResult(frmFrame, 0, 135, 2000, 255), settings_(settings), services_(std::move(services)),
      log_(settings_.DebugMode, services_.clock, services_.logPath),
      search_(services_.search, services_.clock, services_.logPath) {
    cboResult.setVisible(false);
    cmdPrefereneces.setToolTip("Show Preferences Screen");
    txtInput.setToolTip("Type the name of the favorite to search");
    form.setCancelButton(cmdCancel);
    form.setTabOrder({&txtInput, &cmdCancel, &cboResult, &cmdPrefereneces});

    form.onResize = [this] { Form_Resize(); };
    form.onUnload = [this] { Form_Unload(); };
    txtInput.onKeyPress = [this](std::int16_t& key) { txtInput_KeyPress(key); };
    txtInput.onKeyDown = [this](std::int16_t& key) { txtInput_KeyDown(key); };
    txtInput.onChange = [this] { txtInput_Change(); };
    cboResult.onClick = [this] { cboResult_Click(); };
    cboResult.onDblClick = [this] { cboResult_DblClick(); };
    cboResult.onKeyPress = [this](std::int16_t& key) { cboResult_KeyPress(key); };
    cboResult.rowToolTip = [this](int row) { return cboResult_RowToolTip(row); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    cmdPrefereneces.onClick = [this] { cmdPrefereneces_Click(); };
    tmrNotice.onTimeout = [this] { tmrNotice_Timer(); };
    trayIcon.onClick = [this](forms::TrayClick click) { Form_MouseMove(click); };
}

void frmMain::Form_Load() {
    form.setCaption(fnMainCaption());
    Form_Resize();
    subPlaceInMiddle();
    subStartUp(services_.registry, services_.userFolders, settings_, *this, StoreWrites::FirstRun);
    subLogSettingsProblems();
    subKeepOnScreen();
    // Asking for the handle creates the native window; done after loading, so
    // the stored geometry is applied to the window as first created.
    form.nativeHandle();
    settings_.HotKeysOffered = services_.hotkeysOffered();
    subApplyHotkey();
    settings_.StartAtLogin = services_.autostart->isOn();
}

void frmMain::Form_Unload() {
    subStopSearch();
    subStoreSettings();
    if (isMinimized() && settings_.Tray == TRAY_ON) {
        subNotifyIcon(TrayMessage::Delete);
        forms::doEvents();
    }
    subDebug(LOG_END, "Ending ZTV[v" + fnVersionText() + "] debug session");
    services_.endProgram();
}

void frmMain::subStoreSettings() {
    subSaveSettings(services_.registry, settings_, *this);
    subLogSettingsProblems();
}

// A session manager ending the session may still cancel it: the settings are
// stored and the program goes on. A request to end it now ends it as closing
// the window does.
void frmMain::subEndRequested(forms::EndRequest pRequest) {
    if (pRequest == forms::EndRequest::SessionEnding) {
        subStoreSettings();
    } else {
        form.unload();
    }
}

void frmMain::subLogSettingsProblems() {
    for (const std::string& problem : services_.registry.takeProblems()) {
        subDebug(LOG_FAIL, problem);
    }
}

// A position stored under another display scale or screen layout may lie off
// every screen now: the window is brought back where its title bar is in reach.
void frmMain::subKeepOnScreen() {
    const forms::TwipsRect stored{form.left(), form.top(), form.width(), form.height()};
    const forms::TwipsRect placed = fnPlaceOnScreen(stored, forms::screenWorkAreas());
    if (placed.width != stored.width) {
        form.setWidth(placed.width);
    }
    if (placed.left != stored.left) {
        form.setLeft(placed.left);
    }
    if (placed.top != stored.top) {
        form.setTop(placed.top);
    }
}

// Without it a first run would store the place of a window not yet placed,
// the screen's corner, and every later start would open there.
void frmMain::subPlaceInMiddle() {
    const std::vector<forms::TwipsRect> screens = forms::screenWorkAreas();
    if (screens.empty()) {
        return;
    }
    const forms::TwipsRect& screen = screens.front();
    form.setLeft(screen.left + std::max(0.0f, (screen.width - form.width()) / 2));
    form.setTop(screen.top + std::max(0.0f, (screen.height - form.height()) / 2));
}

bool frmMain::isMinimized() const {
    return form.windowState() == forms::WINDOW_MINIMIZED;
}

} // namespace zaptrove
