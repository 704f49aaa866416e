// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/browser_profile.h"

#include <cstdint>
#include <string>
#include <vector>

// The program-wide record of every behaviour switch and bookmark location. Its
// fields carry the names of the registry values they are stored under.
namespace zaptrove {

// Setting codes: one numbering shared by all fields.
inline constexpr std::int16_t FUNC_RESET = -1;
inline constexpr std::int16_t FUNC_NAME = 0;
inline constexpr std::int16_t FUNC_URL = 1;
inline constexpr std::int16_t FUNC_BOTH = 2;
inline constexpr std::int16_t SORT_NAME = 0;
inline constexpr std::int16_t SORT_URL = 1;
inline constexpr std::int16_t SORT_NONE = 2; // the reading order stays
inline constexpr std::int16_t SORT_SEARCHED = 3;
inline constexpr std::int16_t LAUNCH_NOTHING = 4;
inline constexpr std::int16_t LAUNCH_MINIMIZE = 5;
inline constexpr std::int16_t LAUNCH_QUIT = 6;
inline constexpr std::int16_t TRAY_OFF = 4;
inline constexpr std::int16_t TRAY_ON = 7;
inline constexpr std::int16_t DEBUG_OFF = 4;
inline constexpr std::int16_t DEBUG_ON = 8;
inline constexpr std::int16_t DO_YES = 13;
inline constexpr std::int16_t DO_NO = 14;
inline constexpr std::int16_t DUPS_KEEP = 15;
inline constexpr std::int16_t DUPS_REMOVE = 16;
inline constexpr std::int16_t CLICK_DOUBLE = 17;
inline constexpr std::int16_t CLICK_SINGLE = 18;
inline constexpr std::int16_t WORDS_TOGETHER = 19;
inline constexpr std::int16_t WORDS_ANY_ORDER = 20;
inline constexpr std::int16_t ACCENTS_MATCH = 21;
inline constexpr std::int16_t ACCENTS_IGNORE = 22;
inline constexpr std::int16_t INSTANT_OFF = 23;
inline constexpr std::int16_t INSTANT_ON = 24;
inline constexpr std::int16_t TRAY_MENU_OFF = 25;
inline constexpr std::int16_t TRAY_MENU_ON = 26;
inline constexpr std::int16_t HOVER_TIP_OFF = 29;
inline constexpr std::int16_t HOVER_TIP_ON = 30;
inline constexpr std::int16_t SHOW_WHERE_OFF = 31;
inline constexpr std::int16_t SHOW_WHERE_ON = 32;
inline constexpr std::int16_t MERGE_COPIES_OFF = 35;
inline constexpr std::int16_t MERGE_COPIES_ON = 36;
inline constexpr std::int16_t FOLDER_WORDS_OFF = 33;
inline constexpr std::int16_t FOLDER_WORDS_ON = 34;
inline constexpr std::int16_t RANK_USE_OFF = 37;
inline constexpr std::int16_t RANK_USE_ON = 38;

// The text a location holds when the thing it names cannot be found, and the
// address of a shortcut that cannot be read.
inline constexpr const char* NOT_FOUND = "<not found>";

// Zero-filled until start-up loads it; one instance lives for the whole run.
struct Settings {
    std::int16_t Function = 0;
    std::int16_t Sort = 0;
    std::int16_t Launch = 0;
    std::int16_t Tray = 0;
    std::int16_t Duplicates = 0;
    std::int16_t Height = 0;
    std::int16_t Single = 0;
    std::int16_t DoMSIE = 0;
    std::int16_t DoMSIEEx = 0;
    std::int16_t DoNetscape = 0;
    std::int16_t DoNetscapeEx = 0;
    std::int16_t DoOpera = 0;
    std::int16_t DoOperaEx = 0;
    std::string MSIEMain;
    std::string MSIEAlt;
    std::string NetscapeMain;
    std::string NetscapeAlt;
    std::string OperaMain;
    std::string OperaAlt;
    std::int16_t DebugMode = 0;
    // Added later, stored beside the others; anything but the "on" code is off.
    std::int16_t Words = 0;    // WORDS_ANY_ORDER: every word, in any order
    std::int16_t Accents = 0;  // ACCENTS_IGNORE: "cafe" finds "Café"
    std::int16_t Instant = 0;  // INSTANT_ON: the list follows every keystroke
    std::int16_t TrayMenu = 0; // TRAY_MENU_ON: a right click on the tray icon opens a menu
    // HOVER_TIP_ON: the list's tooltip describes the row under the mouse, in full
    std::int16_t HoverTip = 0;
    // SHOW_WHERE_ON: each list line ends with where its bookmark lives, dimmed
    std::int16_t ShowWhere = 0;
    // MERGE_COPIES_ON: the copies of one address in several places make one row
    std::int16_t MergeCopies = 0;
    // FOLDER_WORDS_ON: a search by name or by both finds the typed words in a
    // bookmark's folder names too
    std::int16_t FolderWords = 0;
    // The folders whose bookmarks, and those of every folder inside them, are
    // left out: their names, ";" between them (see fnLeaveOutNames)
    std::string LeaveOut;
    // RANK_USE_ON: the rows are ordered by use (what was opened from the
    // program, then the browsers' own use), ties in the order above
    std::int16_t RankByUse = 0;

    // Browsers, read after the six locations: one switch per browser (DO_YES
    // reads its profiles), and a hand-added Firefox profile folder and
    // Chromium-family Bookmarks file, each with its own switch.
    std::int16_t DoFirefox = 0;
    std::int16_t DoChrome = 0;
    std::int16_t DoChromium = 0;
    std::int16_t DoEdge = 0;
    std::int16_t DoBrave = 0;
    std::int16_t DoVivaldi = 0;
    std::int16_t DoOperaBlink = 0;
    std::int16_t DoFirefoxEx = 0;
    std::string FirefoxAlt;
    std::int16_t DoChromiumEx = 0;
    std::string ChromiumAlt;
    // The global hotkey that shows or hides the window ("Ctrl+Alt+Z"); empty for none.
    std::string HotKey;
    // DO_NO: every bookmark opens with the desktop's default; anything else: a
    // browser bookmark opens in its own browser and profile.
    std::int16_t DoOwnBrowser = 0;
    // The folders of the browser profiles found that are switched off, one per
    // line; every other profile of a browser switched on is read.
    std::string ProfilesOff;
    // The Favorites folder and the Netscape file start-up found on this
    // machine (never stored): while MSIEMain or NetscapeMain holds one of
    // them, the user has not named that location.
    std::string MSIEMainFound;
    std::string NetscapeMainFound;
    // The browser profiles found at start-up (never stored).
    std::vector<BrowserProfile> BrowserProfiles;
    // Whether the desktop lets the program have a global hotkey, and what
    // became of HotKey, in words (never stored).
    bool HotKeysOffered = false;
    std::string HotKeyStatus;
    // Whether the desktop (or Windows) starts the program at login; its entry
    // is kept there, never stored here.
    bool StartAtLogin = false;
};

// The switch of a browser's profiles.
std::int16_t Settings::*fnBrowserSwitch(Browser pBrowser);

} // namespace zaptrove
