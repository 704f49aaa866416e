// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

namespace zaptrove {

namespace forms = platform::forms;

void frmMain::subApplyHotkey() {
    if (settings_.HotKey == hotkeyText_) {
        return;
    }
    hotkey_.reset();
    hotkeyRegistered_ = false;
    hotkeyText_ = settings_.HotKey;
    settings_.HotKeyStatus.clear();
    if (hotkeyText_.empty()) {
        return;
    }
    const auto sequence = platform::parseHotkey(hotkeyText_);
    if (!sequence) {
        subHotkeyReported(platform::HotkeyState::Invalid, "not a key combination");
        return;
    }
    if (!settings_.HotKeysOffered) {
        subHotkeyReported(platform::HotkeyState::Unavailable, "");
        return;
    }
    settings_.HotKeyStatus = hotkeyText_ + ": waiting for the desktop to accept it.";
    hotkey_ = services_.registerHotkey(
        *sequence, [this] { subHotkeyPressed(); },
        [this](platform::HotkeyState state, const std::string& detail) {
            subHotkeyReported(state, detail);
        });
}

void frmMain::subHotkeyReported(platform::HotkeyState pState, const std::string& pDetail) {
    const std::string because = pDetail.empty() ? "" : " (" + pDetail + ")";
    switch (pState) {
    case platform::HotkeyState::Registered:
        hotkeyRegistered_ = true;
        settings_.HotKeyStatus = hotkeyText_ + " shows or hides the window" + because + ".";
        break;
    case platform::HotkeyState::Taken:
        settings_.HotKeyStatus =
            hotkeyText_ + " was refused" + because + ": choose another combination.";
        break;
    case platform::HotkeyState::Invalid:
        settings_.HotKeyStatus = hotkeyText_ + " cannot be a hotkey" + because + ".";
        break;
    case platform::HotkeyState::Unavailable:
        settings_.HotKeyStatus = hotkeyText_ + " is not offered by this desktop" + because + ".";
        break;
    }
    subLogHotkey();
}

void frmMain::subLogHotkey() const {
    if (!settings_.HotKeyStatus.empty()) {
        subDebug(hotkeyRegistered_ ? LOG_INFO : LOG_FAIL, "Hotkey " + settings_.HotKeyStatus);
    }
}

// Hides the window the way the program minimises (into the notification area
// when Tray is on), or brings it back.
void frmMain::subHotkeyPressed() {
    if (form.isShown() && form.isActive() && !isMinimized()) {
        form.setWindowState(forms::WINDOW_MINIMIZED);
    } else {
        subBringToFront();
    }
}

} // namespace zaptrove
