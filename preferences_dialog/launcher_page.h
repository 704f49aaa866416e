// SPDX-License-Identifier: MIT
#pragma once

#include "preferences_dialog/more_page.h"

namespace zaptrove {

// The "Launcher" page: how the input box searches, the global hotkey that
// shows or hides the window (or, where the desktop offers none, the command to
// bind in its keyboard settings), the tray icon's menu and the start at login.
class LauncherPage final : public MorePage {
  public:
    explicit LauncherPage(platform::forms::Form& pDialog);

    platform::forms::Frame& frame() override { return fraLauncher; }
    void load(const Settings& pSettings) override;
    void store(Settings& pSettings) const override;

    platform::forms::Frame fraLauncher;
    platform::forms::CheckBox chkInstant;
    platform::forms::CheckBox chkWords;
    platform::forms::CheckBox chkAccents;
    platform::forms::Label lblHotkey;
    platform::forms::HotkeyBox hkyHotkey;
    platform::forms::Label lblHotkeyHelp;
    platform::forms::Label lblHotkeyStatus;
    platform::forms::Label lblShowCommand;
    platform::forms::TextBox txtShowCommand;
    platform::forms::CheckBox chkTrayMenu;
    platform::forms::CheckBox chkStartAtLogin;
};

} // namespace zaptrove
