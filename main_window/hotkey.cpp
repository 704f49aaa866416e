// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

namespace zaptrove {

namespace forms = platform::forms;

namespace {

// The stored text as the status names it: one too long to be a combination is
// cut (at a character's start), so a hand-edited store cannot flood the page.
std::string shownHotkeyText(const std::string& pText) {
    constexpr std::size_t kLongest = 40;
    if (pText.size() <= kLongest) {
        return pText;
    }
    std::size_t end = kLongest;
    while (end > 0 && (static_cast<unsigned char>(pText[end]) & 0xC0) == 0x80) {
        --end;
    }
    return pText.substr(0, end) + "\u2026";
}

} // namespace

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
    settings_.HotKeyStatus =
        shownHotkeyText(hotkeyText_) + ": waiting for the desktop to accept it.";
    hotkey_ = services_.registerHotkey(
        *sequence, [this] { subHotkeyPressed(); },
        [this](platform::HotkeyState state, const std::string& detail) {
            subHotkeyReported(state, detail);
        });
}

void frmMain::subHotkeyReported(platform::HotkeyState pState, const std::string& pDetail) {
    const std::string because = pDetail.empty() ? "" : " (" + pDetail + ")";
    const std::string hotkey = shownHotkeyText(hotkeyText_);
    switch (pState) {
    case platform::HotkeyState::Registered:
        hotkeyRegistered_ = true;
        settings_.HotKeyStatus = hotkey + " shows or hides the window" + because + ".";
        break;
    case platform::HotkeyState::Taken:
        settings_.HotKeyStatus =
            hotkey + " was refused" + because + ": choose another combination.";
        break;
    case platform::HotkeyState::Invalid:
        settings_.HotKeyStatus = hotkey + " cannot be a hotkey" + because + ".";
        break;
    case platform::HotkeyState::Unavailable:
        settings_.HotKeyStatus = hotkey + " is not offered by this desktop" + because + ".";
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
