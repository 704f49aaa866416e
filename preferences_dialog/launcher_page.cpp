// SPDX-License-Identifier: MIT
#include "preferences_dialog/launcher_page.h"

namespace zaptrove {

LauncherPage::LauncherPage(platform::forms::Form& pDialog)
    : fraLauncher(pDialog, kLeft, kTop, kWidth, kHeight, "Launcher"),
      chkInstant(fraLauncher, 120, 300, 6900, 255,
                 "Search as you type (the list follows every key)"),
      chkWords(fraLauncher, 120, 600, 6900, 255,
               "Find the words in any order (\"gazette linux\" finds \"Linux Gazette\")"),
      chkAccents(fraLauncher, 120, 900, 6900, 255, "Ignore accents (\"cafe\" finds \"Café\")"),
      lblHotkey(fraLauncher, 120, 1410, 6900, 240,
                "Global hotkey: shows the window from any program, or hides it"),
      hkyHotkey(fraLauncher, 120, 1710, 2400, 285),
      lblHotkeyHelp(fraLauncher, 2640, 1740, 4380, 240,
                    "Click it and press the keys; Backspace clears it"),
      lblHotkeyStatus(fraLauncher, 120, 2100, 6900, 480, ""),
      lblShowCommand(fraLauncher, 120, 2760, 6900, 480, ""),
      txtShowCommand(fraLauncher, 120, 3270, 3000, 285),
      chkTrayMenu(fraLauncher, 120, 3630, 6900, 255,
                  "Right-click on the tray icon opens a menu (Show, Preferences…, Quit)"),
      chkStartAtLogin(fraLauncher, 120, 3870, 6900, 255, "Start Zaptrove when I log in") {
    txtShowCommand.setText("zaptrove --show");
    txtShowCommand.setReadOnly(true);
}

void LauncherPage::load(const Settings& pSettings) {
    chkInstant.setValue(pSettings.Instant == INSTANT_ON);
    chkWords.setValue(pSettings.Words == WORDS_ANY_ORDER);
    chkAccents.setValue(pSettings.Accents == ACCENTS_IGNORE);
    chkTrayMenu.setValue(pSettings.TrayMenu == TRAY_MENU_ON);
    chkStartAtLogin.setValue(pSettings.StartAtLogin);
    hkyHotkey.setText(pSettings.HotKey);
    for (platform::forms::Control* control :
         std::initializer_list<platform::forms::Control*>{&hkyHotkey, &lblHotkeyHelp}) {
        control->setVisible(pSettings.HotKeysOffered);
    }
    lblHotkeyStatus.setCaption(pSettings.HotKeysOffered
                                   ? pSettings.HotKeyStatus
                                   : "This desktop offers programs no global hotkey.");
    lblShowCommand.setCaption(
        pSettings.HotKeysOffered
            ? "The desktop's keyboard settings can also bind a key to this command, which "
              "brings the window to the front:"
            : "Bind this command to a key in the desktop's keyboard settings instead; it "
              "brings the window to the front:");
}

void LauncherPage::store(Settings& pSettings) const {
    pSettings.Instant = chkInstant.value() ? INSTANT_ON : INSTANT_OFF;
    pSettings.Words = chkWords.value() ? WORDS_ANY_ORDER : WORDS_TOGETHER;
    pSettings.Accents = chkAccents.value() ? ACCENTS_IGNORE : ACCENTS_MATCH;
    pSettings.TrayMenu = chkTrayMenu.value() ? TRAY_MENU_ON : TRAY_MENU_OFF;
    pSettings.StartAtLogin = chkStartAtLogin.value();
    if (pSettings.HotKeysOffered) {
        pSettings.HotKey = hkyHotkey.text();
    }
}

} // namespace zaptrove
