// SPDX-License-Identifier: MIT
#pragma once

#include "debug_log/debug_log.h"
#include "forms/forms.h"
#include "main_window/background_search.h"
#include "main_window/list_discarder.h"
#include "main_window/tray_data.h"
#include "platform/autostart.h"
#include "platform/clock.h"
#include "platform/hotkey.h"
#include "platform/program_start.h"
#include "platform/shell.h"
#include "preferences_dialog/frm_preferences.h"
#include "registry/registry.h"
#include "search/discovery/browser_discovery.h"
#include "search/records/bookmark.h"
#include "search/results/listed_rows.h"
#include "search/sources/kept_rows.h"
#include "settings/settings.h"
#include "settings/settings_window.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zaptrove {

// The window's height while the result list is hidden, and its least height
// while the list is shown, in twips.
inline constexpr float COLLAPSED_HEIGHT = 991;

// The window's caption: "Zaptrove v4.3".
std::string fnMainCaption();

// The main window: an input box that unfolds a result list. Its handlers are
// split by concern over the files of this folder.
class frmMain final : public SettingsWindow {
  public:
    // What the window reaches outside itself.
    struct Services {
        platform::Registry& registry;
        platform::Shell& shell;
        const platform::Clock& clock;
        // Ends the program at once with exit status 0; it does not return.
        std::function<void()> endProgram;
        // Where the diagnostic log goes; empty for its usual place.
        std::string logPath;
        // Whether the desktop has a notification area to minimise into.
        std::function<bool()> trayAvailable = &platform::forms::TrayIcon::isAvailable;
        // Where the browsers' profiles are looked for.
        UserFolders userFolders = fnCurrentUserFolders();
        // The desktop's global hotkeys.
        std::function<bool()> hotkeysOffered = &platform::hotkeysOffered;
        std::function<std::unique_ptr<platform::Hotkey>(
            const platform::HotkeySequence&, std::function<void()>, platform::HotkeyReported)>
            registerHotkey = &platform::registerHotkey;
        // The entry that starts the program at login.
        platform::Autostart* autostart = &platform::userAutostart();
        // What starts a browser with a bookmark.
        platform::ProgramStarter* programs = &platform::systemProgramStarter();
        // The search run, which the window starts on a thread of its own.
        BackgroundSearch::Run search = [](const SearchRequest& pRequest, const DebugLog& pLog) {
            return zaptrove::subSearch(pRequest, pLog, ListLines::OnDemand);
        };
    };

    frmMain(Settings& settings, Services services);

    // Start-up (form_lifecycle.cpp)
    void Form_Load();
    void Form_Unload();
    // Stores the settings and the window's place now, as the unload would, so
    // that a change survives a session that ends without closing the window.
    void subStoreSettings();
    // The desktop asks the program to end from outside (form_lifecycle.cpp).
    void subEndRequested(platform::forms::EndRequest pRequest);
    // Writes what went wrong with the settings store into the log.
    void subLogSettingsProblems();
    // Layout (form_layout.cpp)
    void Form_Resize();
    // Input box and its hidden commands (input_box.cpp)
    void txtInput_KeyPress(std::int16_t& KeyAscii);
    // Search as you type, when switched on (input_box.cpp)
    void txtInput_Change();
    void txtInput_KeyDown(std::int16_t& KeyCode);
    // What Enter does on text that is no hidden command: opens the selected
    // row of the list searching as you type unfolded, else searches.
    void subEnterOnText();
    // The result list and Cancel (results_view.cpp)
    void subSearch();
    // Whether a search is running, its outcome not shown yet (search_in_background.cpp).
    bool searching() const { return search_.running(); }
    void cboResult_Click();
    void cboResult_DblClick();
    std::optional<std::string> cboResult_RowToolTip(int pRow) const;
    void cboResult_KeyPress(std::int16_t& KeyAscii);
    void cmdCancel_Click();
    void cmdPrefereneces_Click();
    // Opening a bookmark (launch.cpp); pPrivate asks its browser for a private window
    void subLaunch(const Bookmark& pBookmark, bool pPrivate = false);
    // The tray icon (tray.cpp)
    void Form_MouseMove(platform::forms::TrayClick pClick);
    void subRestoreFromTray();
    // Another start of the program asked for the window: brings it back from
    // the tray or the task bar, to the front, with the input box's text selected.
    void subBringToFront();
    // The global hotkey (hotkey.cpp): registers Settings.HotKey when it
    // changed; a press shows the window, or hides it when it is in front.
    void subApplyHotkey();
    void subHotkeyPressed();
    // Writes what became of the hotkey into the log.
    void subLogHotkey() const;
    // A short notice in the caption, for about two seconds (notice.cpp)
    void subShowNotice(std::string_view pText);
    void tmrNotice_Timer();
    // Starting at login (start_at_login.cpp): adds or removes the entry when
    // Settings.StartAtLogin changed; started by it, goes into the tray when
    // Tray is on.
    void subApplyStartAtLogin();
    void subStartedAtLogin();
    // The Preferences dialog and the reset (preferences_and_reset.cpp)
    void subShowPreferences();
    void subReset();

    void subDebug(std::int16_t pType, std::string_view pString) const {
        log_.subDebug(pType, pString);
    }

    // SettingsWindow
    float windowTop() const override { return form.top(); }
    float windowLeft() const override { return form.left(); }
    float windowWidth() const override { return form.width(); }
    float windowHeight() const override { return form.height(); }
    bool isMinimized() const override;
    void setWindowTop(float pTwips) override { form.setTop(pTwips); }
    void setWindowLeft(float pTwips) override { form.setLeft(pTwips); }
    void setWindowWidth(float pTwips) override { form.setWidth(pTwips); }

    // The controls, in stacking order from the bottom: a later one lies over an
    // earlier one where they overlap.
    platform::forms::Form form;
    platform::forms::Frame frmFrame;
    platform::forms::CommandButton cmdCancel;
    platform::forms::TextBox txtInput;
    platform::forms::CommandButton cmdPrefereneces;
    platform::forms::ListBox cboResult;

    // The records behind the list's rows; row i shows Results.at(i).
    ListedRows Results;
    TrayData trayData;
    // The Preferences dialog while it is shown.
    std::unique_ptr<frmPreferences> Preferences;
    // Why this program holds no single instance, when it does not; written to
    // the log when the log is switched on.
    std::string InstanceProblem;
    platform::forms::TrayIcon trayIcon{form};
    platform::forms::Timer tmrNotice{form};

  private:
    // Shell_NotifyIcon: adds or removes the notification-area icon.
    void subNotifyIcon(TrayMessage pMessage);
    // Moves the window onto a screen when its stored place is off every one.
    void subKeepOnScreen();
    // Puts the window in the middle of the first screen, where it opens when
    // no place is stored.
    void subPlaceInMiddle();
    // Collapses the window, remembering the height the list had.
    void rememberExpandedHeight();
    // Shows a search's results in the unfolded list, the first row selected,
    // each row's line made as the list shows it (name first when pNameFirst);
    // the list takes the focus unless the input keeps it for more typing.
    void subShowList(SearchOutcome pOutcome, bool pNameFirst, bool pFocusList);
    // Shows the outcome of a search started by Enter.
    void subShowOutcome(SearchOutcome pOutcome, bool pNameFirst);
    // What a search's outcome goes to, with whether its list lines start with
    // the name (fnListNameFirst of its request).
    using ShowOutcome = std::function<void(SearchOutcome, bool pNameFirst)>;
    // Starts the search for pText, the busy pointer shown until pShow gets its
    // outcome; a search still running is dropped (search_in_background.cpp).
    void subSearchInBackground(const std::string& pText, ShowOutcome pShow);
    // Drops the search running, if any; answers whether there was one.
    bool subStopSearch();
    // Folds the list away and puts the focus back in the input box.
    void subCloseList();
    bool searchesAsTyped() const { return settings_.Instant == INSTANT_ON; }
    const Bookmark* selectedBookmark() const;

    void subHotkeyReported(platform::HotkeyState pState, const std::string& pDetail);

    Settings& settings_;
    Services services_;
    DebugLog log_;
    // The hotkey registered, and the text it was registered from.
    std::unique_ptr<platform::Hotkey> hotkey_;
    std::string hotkeyText_;
    bool hotkeyRegistered_ = false;
    // Enter pressed while a search as you type ran: it acts on that search's outcome.
    bool enterAfterSearch_ = false;
    // Frees the list a new one replaces.
    ListDiscarder replacedList_;
    // The bookmark files' rows, kept between searches while the files do not
    // change, so that a key typed reads none again.
    KeptRows keptRows_;
    // Last, so that it is gone, every search stopped, before what they use.
    BackgroundSearch search_;
};

} // namespace zaptrove
