// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

#include "settings/version.h"
#include "text/text.h"

#include <array>
#include <string_view>

namespace zaptrove {

namespace {

// A hidden command that stores one value in one setting.
struct SettingCommand {
    std::string_view word;
    std::int16_t Settings::*field;
    std::int16_t value;
};

constexpr std::array kSettingCommands = {
    SettingCommand{"\\n", &Settings::Function, FUNC_NAME},
    SettingCommand{"\\u", &Settings::Function, FUNC_URL},
    SettingCommand{"\\b", &Settings::Function, FUNC_BOTH},
    SettingCommand{"\\sn", &Settings::Sort, SORT_NAME},
    SettingCommand{"\\su", &Settings::Sort, SORT_URL},
    SettingCommand{"\\ss", &Settings::Sort, SORT_SEARCHED},
    SettingCommand{"\\dn", &Settings::Launch, LAUNCH_NOTHING},
    SettingCommand{"\\dm", &Settings::Launch, LAUNCH_MINIMIZE},
    SettingCommand{"\\dq", &Settings::Launch, LAUNCH_QUIT},
    SettingCommand{"\\mn", &Settings::Tray, TRAY_OFF},
    SettingCommand{"\\mt", &Settings::Tray, TRAY_ON},
    SettingCommand{"\\tk", &Settings::Duplicates, DUPS_KEEP},
    SettingCommand{"\\tr", &Settings::Duplicates, DUPS_REMOVE},
    SettingCommand{"\\cs", &Settings::Single, CLICK_SINGLE},
    SettingCommand{"\\cd", &Settings::Single, CLICK_DOUBLE},
};

} // namespace

// Enter runs the typed text: a hidden command when the whole text, in any
// letter case, is one; otherwise a search. Other keys pass untouched.
void frmMain::txtInput_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii != platform::forms::KEY_RETURN) {
        return;
    }
    const std::string typed = txtInput.text();
    subDebug(LOG_INFO, "Input : " + typed);
    const std::string word = platform::lowerCase(typed);
    for (const SettingCommand& command : kSettingCommands) {
        if (word == command.word) {
            settings_.*command.field = command.value;
            subStoreSettings();
            txtInput.setText("");
            return;
        }
    }
    if (word == "\\p") {
        subShowPreferences();
        txtInput.setText("");
    } else if (word == "\\enable_debug") {
        settings_.DebugMode = DEBUG_ON;
        subDebug(LOG_BEGIN, "Starting[ZTV v" + fnVersionText() + "] debug session");
        subLogHotkey();
        if (!InstanceProblem.empty()) {
            subDebug(LOG_FAIL, InstanceProblem);
        }
        txtInput.setText("");
        subShowNotice("Diagnostic log: " + log_.path());
    } else if (word == "\\disable_debug") {
        subDebug(LOG_END, "Ending[ZTV v" + fnVersionText() + "] debug session");
        settings_.DebugMode = DEBUG_OFF;
        txtInput.setText("");
    } else if (word == "\\r") {
        subReset();
    } else if (searchesAsTyped() && searching()) {
        // The search for the last letter typed decides what Enter does.
        enterAfterSearch_ = true;
    } else {
        subEnterOnText();
    }
}

void frmMain::subEnterOnText() {
    if (searchesAsTyped() && cboResult.visible()) {
        // The list already shows what was typed: Enter opens its selected row.
        std::int16_t key = platform::forms::KEY_RETURN;
        cboResult_KeyPress(key);
    } else if (!txtInput.text().empty()) {
        subSearch();
    }
}

// Searching as you type, every change of the text searches again; no text, or
// the start of a hidden command, folds the list away.
void frmMain::txtInput_Change() {
    if (!searchesAsTyped()) {
        return;
    }
    const std::string typed = txtInput.text();
    if (!typed.empty() && !typed.starts_with('\\')) {
        subSearchInBackground(typed, [this](SearchOutcome outcome, bool nameFirst) {
            if (outcome.Found) {
                subShowList(std::move(outcome), nameFirst, false);
            } else if (cboResult.visible()) {
                subCloseList();
            }
        });
        return;
    }
    subStopSearch();
    if (cboResult.visible()) {
        subCloseList();
    }
}

// Down moves from the input box into the list that follows it.
void frmMain::txtInput_KeyDown(std::int16_t& KeyCode) {
    if (KeyCode == platform::forms::KEY_DOWN && searchesAsTyped() && cboResult.visible()) {
        cboResult.setFocus();
        KeyCode = 0;
    }
}

} // namespace zaptrove
