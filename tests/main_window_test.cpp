// SPDX-License-Identifier: MIT
#include "forms/forms_simulate.h"
#include "main_window/frm_main.h"
#include "main_window/window_placement.h"
#include "platform/instance.h"
#include "settings/registry_values.h"
#include "settings/settings_store.h"
#include "support/chromium_files.h"
#include "support/fake_browsers.h"
#include "support/fake_clock.h"
#include "support/recording_openers.h"
#ifdef ZAPTROVE_TEST_PLACES
#include "support/places_database.h"
#endif
#include "support/scoped_environment.h"
#include "support/temp_folder.h"
#include "support/test_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <thread>

using namespace zaptrove;
namespace forms = platform::forms;
using Lines = std::vector<std::string>;

namespace {

struct ProgramEnded {};

// A desktop's global hotkeys: it records what is registered and answers as told.
struct FakeHotkeys {
    platform::HotkeyState answer = platform::HotkeyState::Registered;
    std::string detail;
    Lines registered;
    std::function<void()> press;

    frmMain::Services serve(frmMain::Services services) {
        services.hotkeysOffered = [] { return true; };
        services.registerHotkey = [this](const platform::HotkeySequence& sequence,
                                         std::function<void()> pressed,
                                         const platform::HotkeyReported& reported) {
            registered.push_back(platform::formatHotkey(sequence));
            press = std::move(pressed);
            reported(answer, detail);
            return std::unique_ptr<platform::Hotkey>();
        };
        return services;
    }
};

// The login entry, in memory; it refuses changes while refusal holds a reason.
struct FakeAutostart final : platform::Autostart {
    bool on = false;
    std::string refusal;
    bool isOn() const override { return on; }
    std::string setOn(bool pOn) override {
        if (refusal.empty())
            on = pOn;
        return refusal;
    }
    frmMain::Services serve(frmMain::Services services) {
        services.autostart = this;
        return services;
    }
};

// A search that holds one term's runs until let go or asked to stop, as over a hanging source.
struct HeldSearch {
    std::string term;
    std::atomic<bool> open{false};
    std::atomic<int> held{0}; // runs of the term that started waiting
    std::atomic<int> returned{0};
    std::atomic<bool> sawStop{false};

    frmMain::Services serve(frmMain::Services services) {
        services.search = [this](const SearchRequest& request, const DebugLog& log) {
            if (term.empty() || request.term != term)
                return zaptrove::subSearch(request, log, ListLines::OnDemand); // as the window's
            ++held;
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!open && !request.stopRequested() && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            sawStop = request.stopRequested();
            SearchOutcome outcome = zaptrove::subSearch(request, log, ListLines::OnDemand);
            ++returned;
            return outcome;
        };
        return services;
    }
    // Holds the next run of pTerm; called while no held run is under way.
    void hold(std::string pTerm) {
        term = std::move(pTerm);
        open = false;
        held = 0;
        returned = 0;
    }
};

// The main window over a temporary Favorites folder, hive and log, with recording fakes.
class MainWindow : public testing::Test {
  protected:
    test::TempFolder tmp;
    test::TestRegistry registry;
    test::RecordingOpeners shell;
    test::FakeClock clock;
    Settings settings;
    FakeHotkeys hotkeys;
    FakeAutostart autostart;
    HeldSearch held;
    frmMain window{settings,
                   held.serve(autostart.serve(hotkeys.serve(
                       {*registry, shell, clock, [] { throw ProgramEnded{}; }, tmp / "log"})))};

    MainWindow() {
        tmp.write("Fav/World News.url", "[InternetShortcut]\r\nURL=http://world/\r\n");
        tmp.write("Fav/Sub/Daily News.url", "[InternetShortcut]\r\nURL=http://daily/\r\n");
        tmp.write("Fav/Sports.url", "[InternetShortcut]\r\nURL=http://sports/\r\n");
        window.Form_Load();
        settings.MSIEMain = tmp.asFolder("Fav");
        window.form.setWidth(4500);
        window.form.show();
        forms::doEvents();
    }
    void enter(const std::string& text) {
        startSearch(text);
        finishSearch();
    }
    void startSearch(const std::string& text) {
        window.txtInput.setText(text);
        forms::simulateKey(window.txtInput, forms::KEY_RETURN);
    }
    // Processes events until pDone, for at most five seconds; answers pDone.
    static bool pumpUntil(const std::function<bool()>& pDone) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!pDone() && std::chrono::steady_clock::now() < giveUp) {
            forms::doEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return pDone();
    }
    // Processes events until the search ended and the resize its outcome set off is done.
    void finishSearch() {
        ASSERT_TRUE(pumpUntil([&] { return !window.searching(); }));
        forms::doEvents();
    }
    // Lets the held search go and processes events until its outcome has arrived.
    void letHeldSearchEnd() {
        held.open = true;
        EXPECT_TRUE(pumpUntil([&] { return held.returned == 1; }));
        settle();
    }
    Lines rows() const {
        Lines rows;
        for (int i = 0; i < window.cboResult.listCount(); ++i)
            rows.push_back(window.cboResult.list(i));
        return rows;
    }
    // The window's height and the sizes its layout gives the controls.
    std::vector<float> layout() const {
        return {window.form.height(),          window.frmFrame.width(), window.frmFrame.height(),
                window.cmdPrefereneces.left(), window.txtInput.width(), window.cboResult.width(),
                window.cboResult.height()};
    }
    std::string log() const { return test::readFile(tmp / "log"); }
    bool logged(std::string_view line) const { return log().find(line) != std::string::npos; }
    // A stand-in Chromium on PATH (on Windows the StartMenuInternet client, removed by the test).
    std::string fakeChromium(const test::FakeBrowsers& fakes) const {
        std::string chromium = fakes.program("bin/chromium");
#ifdef _WIN32
        const std::string key =
            "Software\\Clients\\StartMenuInternet\\Chromium\\shell\\open\\command";
        subCreateKey(*registry, platform::RegistryRoot::CurrentUser, key);
        subSetValue(*registry, platform::RegistryRoot::CurrentUser, key, "", '"' + chromium + '"',
                    platform::RegistryType::String);
#endif
        return chromium;
    }
    // Lets a window manager's late answers (a size, a minimised state) arrive before the next act.
    static void settle() {
        for (int round = 0; round < 25; ++round) {
            forms::doEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    // The selected option of a Preferences group, as 0 to 2 or -1 for none.
    static int selected(const std::array<forms::OptionButton, 3>& group) {
        const auto on = std::find_if(group.begin(), group.end(), [](auto& o) { return o.value(); });
        return on == group.end() ? -1 : static_cast<int>(on - group.begin());
    }
    // Whether the stored settings hold "Name=value".
    bool stores(const std::string& value) const {
        return std::ranges::count(registry.settingsValues(), value) == 1;
    }
    // Runs act in More, opened from Preferences, which is then cancelled: More's changes stay.
    void inMoreDialog(const std::function<void(frmMore&)>& act) {
        forms::whenIdle([&] {
            frmPreferences& preferences = *window.Preferences;
            forms::whenIdle([&] { act(*preferences.More); });
            forms::simulateClick(preferences.cmdMore);
            preferences.cmdCancel_Click();
        });
        forms::simulateClick(window.cmdPrefereneces);
    }
};

} // namespace

TEST_F(MainWindow, StartsCollapsedAndEnterSearchesAndUnfoldsTheList) {
    EXPECT_TRUE(stores("Present=1"));
    // 891 twips are 59.4 pixels: sizes read back as they were set
    const std::vector<float> collapsed{991, 4400, 891, 3860, 3760, 4300, 521};
    EXPECT_EQ(layout(), collapsed);
    window.form.setHeight(2000); // collapsed, every height change is undone
    EXPECT_EQ(window.form.height(), 991);

    forms::simulateTyping(window.txtInput, "NEWS");
    forms::simulateKey(window.txtInput, forms::KEY_RETURN);
    finishSearch();
    EXPECT_EQ(rows(), (Lines{"Daily News  -  http://daily/", "World News  -  http://world/"}));
    // The first row is selected, and its tooltip tells where it comes from.
    EXPECT_EQ(window.cboResult.toolTip(), tmp / "Fav/Sub/Daily News.url");
    EXPECT_TRUE(window.cboResult.visible() && !window.cmdPrefereneces.visible());
    EXPECT_FALSE(window.txtInput.tabStop());
    EXPECT_EQ(layout(), (std::vector<float>{3000, 4400, 2900, 3860, 3760, 4300, 2530}));
    window.form.setHeight(500); // shrinking the expanded window stops at 991
    EXPECT_EQ(layout(), collapsed);

    enter("zebra"); // the previous list stays
    EXPECT_EQ(std::tuple(window.txtInput.selectedText(), window.txtInput.tabStop(), rows().size()),
              std::tuple("Nothing Found", true, 2u));
    enter("");
    EXPECT_EQ(rows().size(), 2u);
    window.form.setWidth(500); // narrower than the controls: no negative width
    EXPECT_EQ(window.txtInput.width(), 0);

    // Lines follow the order of the search that found them, and stay as shown after a change.
    const Lines byAddress{"http://daily/  -  Daily News", "http://world/  -  World News"};
    settings.Sort = SORT_URL;
    enter("news");
    EXPECT_EQ(rows(), byAddress);
    settings.Sort = SORT_NAME;
    EXPECT_EQ(rows(), byAddress);
}

TEST_F(MainWindow, HiddenCommandsInAnyCaseChangeSettingsAndOthersAreSearched) {
    const std::vector<std::tuple<std::string, std::int16_t Settings::*, std::int16_t>> commands = {
        {"\\U", &Settings::Function, 1},     {"\\b", &Settings::Function, 2},
        {"\\N", &Settings::Function, 0},     {"\\Sn", &Settings::Sort, 0},
        {"\\SU", &Settings::Sort, 1},        {"\\ss", &Settings::Sort, 3},
        {"\\dm", &Settings::Launch, 5},      {"\\DQ", &Settings::Launch, 6},
        {"\\dn", &Settings::Launch, 4},      {"\\mt", &Settings::Tray, 7},
        {"\\mn", &Settings::Tray, 4},        {"\\tr", &Settings::Duplicates, 16},
        {"\\tk", &Settings::Duplicates, 15}, {"\\cs", &Settings::Single, 18},
        {"\\cd", &Settings::Single, 17}};
    for (const auto& [command, field, value] : commands) {
        settings.*field = -5;
        enter(command);
        EXPECT_EQ(settings.*field, value) << command;
        EXPECT_EQ(window.txtInput.text(), "") << command;
    }
    for (const std::string text : {"\\nx", " \\n", "\\n ", "\\r "}) {
        enter(text);
        EXPECT_EQ(window.txtInput.text(), "Nothing Found") << text;
    }
    forms::whenIdle([&] {
        ASSERT_NE(window.Preferences, nullptr);
        window.Preferences->cmdCancel_Click();
    });
    enter("\\p");
    EXPECT_EQ(window.txtInput.text(), "");

    enter("\\disable_debug"); // logging is off: nothing at all
    EXPECT_EQ(log(), "");
    window.InstanceProblem = "No single instance: why";
    enter("\\ENABLE_DEBUG"); // the caption says for a while where the log goes
    EXPECT_EQ(window.form.caption(), "Zaptrove v4.3 - Diagnostic log: " + (tmp / "log"));
    enter("\\disable_debug");
    enter("after");
    EXPECT_EQ(log(), "+ [05/12/03 - 14:07:31] Starting[ZTV v4.3] debug session\r\n"
                     "! [05/12/03 - 14:07:31] No single instance: why\r\n"
                     "$ [05/12/03 - 14:07:31] Input : \\disable_debug\r\n"
                     "- [05/12/03 - 14:07:31] Ending[ZTV v4.3] debug session\r\n");

    enter("\\enable_debug"); // \R removes the stored settings and ends without saving
    window.txtInput.setText("\\R");
    std::int16_t key = forms::KEY_RETURN;
    EXPECT_THROW(window.txtInput_KeyPress(key), ProgramEnded);
    EXPECT_EQ(registry->openKey(platform::RegistryRoot::CurrentUser, "Software\\Zaptrove"), 0);
    EXPECT_TRUE(log().ends_with("$ [05/12/03 - 14:07:31] Input : \\R\r\n"
                                "- [05/12/03 - 14:07:31] Ending ZTV[v4.3] debug session\r\n"));
}

// Commands store at once, the place when asked to end; an unsaveable settings file is logged.
TEST_F(MainWindow, ChangesAreStoredAtOnceAndThePlaceWhenAskedToEnd) {
    EXPECT_FALSE(stores("Left=0") || stores("Top=0")); // where it opened, not the corner
    enter("\\tr");
    EXPECT_TRUE(stores("Duplicates=16"));
#ifndef _WIN32
    std::vector<forms::EndRequest> requests;
    forms::whenAskedToEnd([&](forms::EndRequest request) { requests.push_back(request); });
    std::raise(SIGHUP);
    settle();
    forms::whenAskedToEnd({});
    EXPECT_EQ(requests, std::vector{forms::EndRequest::EndNow});
#endif
    window.form.setLeft(2400);
    window.subEndRequested(forms::EndRequest::SessionEnding);
    EXPECT_TRUE(stores("Left=2400"));
    window.form.setLeft(3000);
    EXPECT_THROW(window.subEndRequested(forms::EndRequest::EndNow), ProgramEnded);
    EXPECT_TRUE(stores("Left=3000"));
#ifndef _WIN32 // the registry of Windows has no read-only file
    settings.DebugMode = DEBUG_ON;
    const std::string hive = registry.findArguments().back();
    chmod(hive.c_str(), 0444);
    EXPECT_THROW(window.cmdCancel_Click(), ProgramEnded);
    EXPECT_TRUE(logged("! [05/12/03 - 14:07:31] Settings file " + hive +
                       " is read-only; settings are not saved to it\r\n"));
#endif
}

TEST_F(MainWindow, SearchAsYouTypeFollowsEveryKeyBelowTheInputBox) {
    settings.Instant = INSTANT_ON;
    const auto type = [&](const char* keys) {
        forms::simulateTyping(window.txtInput, keys);
        finishSearch();
        return rows();
    };
    EXPECT_EQ(type("d").size(), 2u); // World News and Daily News
    EXPECT_EQ(type("a"), Lines{"Daily News  -  http://daily/"});
    EXPECT_TRUE(window.cboResult.visible() && window.cmdPrefereneces.visible());
    EXPECT_GE(window.cboResult.top(), window.txtInput.top() + window.txtInput.height());
    EXPECT_TRUE(forms::hasFocus(window.txtInput));
    forms::simulateKeyDown(window.txtInput, forms::KEY_DOWN);
    EXPECT_TRUE(forms::hasFocus(window.cboResult));

    window.txtInput.setFocus();
    type("x"); // nothing found: the list folds, the text stays
    EXPECT_TRUE(!window.cboResult.visible() && window.txtInput.text() == "dax");
    forms::simulateKey(window.txtInput, forms::KEY_ESCAPE); // clears; the program goes on
    EXPECT_EQ(window.txtInput.text(), "");

    type("sports");
    forms::simulateKey(window.txtInput, forms::KEY_RETURN); // opens the row shown
    EXPECT_EQ(shell.opened, Lines{"http://sports/"});
    type("\\sn"); // hidden commands still wait for Enter
    EXPECT_FALSE(window.cboResult.visible());
    forms::simulateKey(window.txtInput, forms::KEY_RETURN);
    EXPECT_EQ(settings.Sort, SORT_NAME);
}

// While a source hangs, another start's --show still brings the window back.
TEST_F(MainWindow, WhileASourceHangsTheWindowAnswersAnotherStart) {
    const std::string scope = tmp / "instance";
    const auto claim =
        platform::claimInstance(scope, [&] { forms::whenIdle([&] { window.subBringToFront(); }); });
    ASSERT_NE(claim, nullptr);
    held.hold("news");
    startSearch("news");
    window.form.setWindowState(forms::WINDOW_MINIMIZED);
    ASSERT_TRUE(pumpUntil(
        [&] { return held.held == 1 && window.form.windowState() == forms::WINDOW_MINIMIZED; }));
    EXPECT_EQ(platform::claimInstance(scope, [] {}), nullptr);
    EXPECT_TRUE(pumpUntil([&] { return window.form.windowState() == forms::WINDOW_NORMAL; }));
    EXPECT_TRUE(window.searching() && held.returned == 0);
    held.open = true;
    finishSearch();
    EXPECT_EQ(rows().size(), 2u);
}

// Each letter's search replaces and stops the running one; Enter acts on the newest outcome.
TEST_F(MainWindow, OnlyTheNewestSearchShows) {
    settings.Instant = INSTANT_ON;
    held.hold("d");
    forms::simulateTyping(window.txtInput, "d");
    ASSERT_TRUE(pumpUntil([&] { return held.held == 1; }));
    forms::simulateTyping(window.txtInput, "a");
    finishSearch();
    letHeldSearchEnd();
    EXPECT_TRUE(held.sawStop);
    EXPECT_TRUE(window.cboResult.visible());
    EXPECT_EQ(rows(), Lines{"Daily News  -  http://daily/"});

    held.hold("dai");
    forms::simulateTyping(window.txtInput, "i");
    forms::simulateKey(window.txtInput, forms::KEY_RETURN); // waits for the search of "dai"
    EXPECT_TRUE(shell.opened.empty());
    letHeldSearchEnd();
    EXPECT_EQ(shell.opened, Lines{"http://daily/"});
}

// Escape or closing drops the running search; text typed meanwhile survives its "Nothing Found".
TEST_F(MainWindow, EscapeOrClosingDropsTheSearchRunning) {
    held.hold("news");
    startSearch("news");
    forms::simulateKey(window.txtInput, forms::KEY_ESCAPE);
    EXPECT_FALSE(window.searching());
    letHeldSearchEnd();
    EXPECT_TRUE(held.sawStop);
    EXPECT_EQ(std::tuple(window.cboResult.visible(), window.txtInput.text(), window.form.isShown()),
              std::tuple(false, "news", true));

    held.hold("zzz");
    startSearch("zzz");
    ASSERT_TRUE(pumpUntil([&] { return held.held == 1; }));
    window.txtInput.setText("news");
    letHeldSearchEnd();
    EXPECT_EQ(window.txtInput.text(), "news");

    held.hold("sports");
    startSearch("sports");
    EXPECT_THROW(window.form.unload(), ProgramEnded);
    letHeldSearchEnd();
    EXPECT_FALSE(window.cboResult.visible());
}

TEST_F(MainWindow, ListKeysOpenCopyAndClose) {
    settings.DebugMode = DEBUG_ON;
    enter("news");
    forms::simulateKey(window.cboResult, '-');
    forms::simulateDoubleClick(window.cboResult, 1);
    EXPECT_EQ(shell.opened, (Lines{"http://daily/", "http://world/"}));
    EXPECT_TRUE(window.cboResult.visible() && window.txtInput.text() == "news");

    window.form.setHeight(4000);
    settle();
    forms::simulateKey(window.cboResult, '+');
    EXPECT_EQ(forms::clipboardText(), "http://world/");
    EXPECT_EQ(window.form.height(), 3000); // back to the height the list opened with
    EXPECT_EQ(window.form.caption(), "Zaptrove v4.3 - Address copied");
    window.tmrNotice.start(1); // the notice's time is up
    settle();
    EXPECT_EQ(window.form.caption(), "Zaptrove v4.3");

    window.form.setHeight(3600);
    settle();
    forms::simulateKey(window.cboResult, forms::KEY_RETURN);
    EXPECT_EQ(shell.opened.back(), "http://world/");
    EXPECT_TRUE(!window.cboResult.visible() && window.cmdPrefereneces.visible());
    EXPECT_EQ(std::tuple(window.txtInput.text(), settings.Height, window.form.height()),
              std::tuple("", 3600, 991));
    EXPECT_TRUE(logged("$ [05/12/03 - 14:07:31] Launching: http://world/\r\n"));

    enter("news"); // opens at the remembered height; Escape closes the list
    EXPECT_EQ(window.form.height(), 3600);
    forms::simulateKey(window.cboResult, forms::KEY_ESCAPE);
    EXPECT_TRUE(!window.cboResult.visible() && window.form.height() == 991);
    EXPECT_THROW(window.cmdCancel_Click(), ProgramEnded); // a second Escape ends the program
    EXPECT_TRUE(stores("Height=3600") && stores("Width=4500"));
}

#ifndef _WIN32
// Ordered by use, every open from the list is recorded and lists first; off, nothing is recorded.
TEST_F(MainWindow, OpensFromTheListAreRecordedWhenOrderingByUse) {
    const test::ScopedEnvironment state{{"XDG_STATE_HOME", tmp / "state"}};
    const std::string record = tmp / "state/zaptrove/launches.tsv";
    const auto recorded = [&] {
        Lines addresses;
        std::istringstream lines(test::readFile(record));
        for (std::string line; std::getline(lines, line);)
            addresses.push_back(line.substr(line.rfind('\t') + 1));
        return addresses;
    };
    enter("news");
    forms::simulateKey(window.cboResult, '-');
    EXPECT_EQ(recorded(), Lines{});

    settings.RankByUse = RANK_USE_ON;
    forms::simulateKey(window.cboResult, '-');
    forms::simulateDoubleClick(window.cboResult, 1);
    forms::simulateKey(window.cboResult, forms::KEY_RETURN);
    EXPECT_EQ(recorded(), (Lines{"http://daily/", "http://world/", "http://world/"}));
    enter("news"); // the stored RankByUse reaches the search
    EXPECT_EQ(rows().front(), "World News  -  http://world/");
}
#endif

TEST_F(MainWindow, AHundredThousandRowsAreListedInOrderAndReplacedWhole) {
    constexpr int kRows = 100000;
    const auto name = [](int row) { return "Row " + std::to_string(kRows + row); };
    std::string file = "<DL><p>\n";
    for (int row = 0; row < kRows; ++row)
        file += "<DT><A HREF=\"http://site/" + std::to_string(row) + "\">" + name(row) + "</A>\n";
    settings.DoMSIE = DO_NO, settings.DoNetscape = DO_YES;
    settings.NetscapeMain = tmp.write("big.html", file + "</DL>\n");
    // Changed long enough ago for its rows to be kept: each row's record is made as it is shown.
    std::filesystem::last_write_time(test::utf8Path(settings.NetscapeMain),
                                     std::filesystem::file_time_type::clock::now() -
                                         std::chrono::hours(1));
    settings.ShowWhere = SHOW_WHERE_ON;
    enter("row");
    ASSERT_EQ(window.cboResult.listCount(), kRows);
    EXPECT_EQ(std::tuple(window.cboResult.list(0), window.cboResult.list(kRows - 1),
                         window.cboResult.listIndex()),
              std::tuple(name(0) + "  -  http://site/0",
                         name(kRows - 1) + "  -  http://site/" + std::to_string(kRows - 1), 0));
    window.cboResult.setListIndex(kRows - 1);
    forms::simulateKey(window.cboResult, '+');
    EXPECT_EQ(forms::clipboardText(), "http://site/99999");

    enter("row 199999");
    EXPECT_EQ(rows(), Lines{name(kRows - 1) + "  -  http://site/99999"});
    EXPECT_EQ(std::tuple(window.cboResult.list(1), window.cboResult.listIndex()),
              std::tuple("", 0));
}

TEST_F(MainWindow, LaunchSettingDecidesWhatFollowsAnOpening) {
    enter("news");
    Bookmark x;
    x.URL = "http://x/";
    for (const auto& [launch, state] : {std::pair{LAUNCH_NOTHING, forms::WINDOW_NORMAL},
                                        {std::int16_t{99}, forms::WINDOW_NORMAL},
                                        {LAUNCH_MINIMIZE, forms::WINDOW_MINIMIZED}}) {
        settings.Launch = launch;
        window.subLaunch(x);
        EXPECT_EQ(window.form.windowState(), state) << launch;
    }
    std::int16_t enter = forms::KEY_RETURN;
    settings.Launch = LAUNCH_QUIT;
    window.form.setWidth(6000);
    EXPECT_THROW(window.cboResult_KeyPress(enter), ProgramEnded);
    EXPECT_TRUE(window.cboResult.visible()); // nothing after the launch ran
    EXPECT_EQ(shell.opened.size(), 4u);
    EXPECT_TRUE(stores("Launch=6"));
    EXPECT_FALSE(stores("Width=6000")); // ended while minimised: the stored geometry stays
}

TEST_F(MainWindow, TrayTakesTheMinimisedWindowAndTheConfiguredClickBringsItBack) {
    frmMain inTray{settings, {*registry, shell, clock, [] {}, tmp / "log", [] { return true; }}};
    inTray.Form_Load();
    inTray.form.show();
    const auto minimise = [](frmMain& shown) {
        shown.form.setWindowState(forms::WINDOW_MINIMIZED);
        forms::doEvents();
    };
    settings.Tray = TRAY_ON;
    // Click, the mode that restores with it, and whether it does.
    const std::tuple<forms::TrayClick, std::int16_t, bool> clicks[] = {
        {forms::TrayClick::Left, CLICK_DOUBLE, false},
        {forms::TrayClick::Double, CLICK_DOUBLE, true},
        {forms::TrayClick::Left, CLICK_SINGLE, true},
        {forms::TrayClick::Right, CLICK_SINGLE, false},
        {forms::TrayClick::Middle, CLICK_DOUBLE, false},
        {forms::TrayClick::Left, 5, true}};
    for (const auto& [click, mode, restores] : clicks) {
        settings.Single = mode;
        minimise(inTray);
        ASSERT_TRUE(!inTray.form.isShown() && inTray.trayIcon.isShown());
        EXPECT_EQ(inTray.trayData.tipShown(), "Zaptrove");
        forms::simulateTrayActivation(inTray.trayIcon, click);
        EXPECT_EQ(std::pair(inTray.form.isShown(), inTray.trayIcon.isShown()),
                  std::pair(restores, !restores))
            << mode;
        if (!restores)
            inTray.subRestoreFromTray();
    }
    inTray.subStartedAtLogin(); // started at login with Tray on: into the tray
    forms::doEvents();
    EXPECT_TRUE(!inTray.form.isShown() && inTray.trayIcon.isShown());
    inTray.subBringToFront(); // as when the program is started again
    EXPECT_TRUE(inTray.form.isShown() && !inTray.trayIcon.isShown());
    // A right-click menu only while TrayMenu is on: Show, Preferences…, Quit.
    minimise(inTray);
    EXPECT_FALSE(forms::simulateTrayMenuChoice(inTray.trayIcon, "Show"));
    inTray.subRestoreFromTray();
    settings.TrayMenu = TRAY_MENU_ON;
    minimise(inTray);
    EXPECT_TRUE(forms::simulateTrayMenuChoice(inTray.trayIcon, "Show"));
    EXPECT_TRUE(inTray.form.isShown() && !inTray.trayIcon.isShown());
    minimise(inTray);
    bool shownBehindPreferences = false;
    // The restore lets waiting events run before the dialog is up, so the dialog is waited for.
    forms::Timer cancelPreferences(inTray.form);
    cancelPreferences.onTimeout = [&] {
        if (inTray.Preferences == nullptr) {
            cancelPreferences.start(20);
            return;
        }
        shownBehindPreferences = inTray.form.isShown();
        inTray.Preferences->cmdCancel_Click();
    };
    cancelPreferences.start(20);
    EXPECT_TRUE(forms::simulateTrayMenuChoice(inTray.trayIcon, "Preferences…"));
    EXPECT_TRUE(shownBehindPreferences);
    minimise(inTray);
    EXPECT_TRUE(forms::simulateTrayMenuChoice(inTray.trayIcon, "Quit"));
    EXPECT_FALSE(inTray.trayIcon.isShown()); // leaving from the tray takes the icon away

    // Without a notification area minimising never hides the window.
    frmMain noTray{settings, {*registry, shell, clock, [] {}, tmp / "log", [] { return false; }}};
    noTray.Form_Load();
    noTray.form.show();
    minimise(noTray);
    EXPECT_TRUE(noTray.form.isShown() && !noTray.trayIcon.isShown());
    noTray.subBringToFront(); // from the task bar
    EXPECT_EQ(noTray.form.windowState(), forms::WINDOW_NORMAL);
}

// With this machine's fonts every caption of the main window and Preferences shows whole.
TEST_F(MainWindow, PreferencesShowTheSettingsAndEveryCaptionFits) {
    frmPreferences dialog(settings, window.form);
    dialog.form.show();
    forms::doEvents();
    EXPECT_EQ(forms::cutCaptions(window.form), Lines{});
    EXPECT_EQ(forms::cutCaptions(dialog.form), Lines{});
    EXPECT_EQ(forms::crowdedFrames(dialog.form), Lines{});
#ifndef _WIN32
    EXPECT_EQ(forms::cutMarks(dialog.form), Lines{});
#endif
    EXPECT_EQ(std::tuple(selected(dialog.optSearch), selected(dialog.optSort),
                         selected(dialog.optLaunch)),
              std::tuple(0, 2, 0));
    EXPECT_FALSE(dialog.chkMinimize.value() || dialog.ChkSingle.value() || dialog.chkDups.value());
    const bool uses[] = {true, false, true, true, false, false};
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(dialog.chkAlternate[row].value(), uses[row]) << row;
    forms::simulateTyping(dialog.txtAlternate[0], "x"); // the main folder is only shown
    EXPECT_EQ(std::pair(dialog.txtAlternate[0].text(), dialog.txtAlternate[2].text()),
              std::pair(tmp.asFolder("Fav"), std::string(NOT_FOUND)));
    forms::simulateClick(dialog.optSort[0]);
    forms::simulateClick(dialog.optSort[0]); // clicked twice, an option stays on
    EXPECT_EQ(selected(dialog.optSort), 0);

    // Values only a damaged store holds are shown, and stored soundly.
    settings.Duplicates = 0, settings.Single = 5, settings.Tray = 99, settings.Sort = SORT_NONE;
    dialog.Form_Activate();
    EXPECT_TRUE(dialog.chkDups.value() && dialog.ChkSingle.value() && dialog.chkMinimize.value());
    EXPECT_EQ(selected(dialog.optSort), -1);
    dialog.cmdOK_Click();
    EXPECT_EQ(std::tie(settings.Duplicates, settings.Single, settings.Tray, settings.Sort),
              std::tie(DUPS_REMOVE, CLICK_SINGLE, TRAY_ON, SORT_NONE));
}

TEST_F(MainWindow, PreferencesOkStoresWhatIsShownWithAFolderBackslashAndNothingElseAdded) {
    const auto fields = [](const Settings& s) {
        return std::tie(s.MSIEMain, s.Function, s.Sort, s.Launch, s.Tray, s.Single, s.Duplicates,
                        s.DoOpera, s.OperaMain, s.DoMSIE, s.NetscapeMain);
    };
    Settings expected = settings;
    for (const auto& [typed, stored] : {std::pair{"", "\\"}, std::pair{"C:\\Favs", "C:\\Favs\\"},
                                        std::pair{"C:\\Favs\\", "C:\\Favs\\"}}) {
        frmPreferences dialog(settings, window.form);
        dialog.Form_Activate();
        dialog.txtAlternate[0].setText("typed over the main folder");
        dialog.txtAlternate[1].setText(typed);
        dialog.txtAlternate[2].setText("/home/u/b.html");
        dialog.txtAlternate[4].setText("/home/u/opera6.adr ");
        dialog.chkAlternate[4].setValue(true);
        dialog.chkAlternate[0].setValue(false);
        dialog.cmdOK_Click();
        EXPECT_EQ(settings.MSIEAlt, stored);
    }
    expected.MSIEAlt = "C:\\Favs\\";
    expected.OperaMain = "/home/u/opera6.adr "; // the blank stays
    expected.DoOpera = DO_YES, expected.DoMSIE = DO_NO, expected.NetscapeMain = "/home/u/b.html";
    EXPECT_EQ(fields(settings), fields(expected));
}

// Cancel, Escape and the close box store nothing; Enter confirms from OK (ringed) and from a box.
TEST_F(MainWindow, DialogsEndedWithoutOkChangeNothingAndEnterConfirms) {
    enum Way { Cancel, Escape, Close, EnterOnOk, EnterInABox };
    const auto endEachWay = [&]<typename Dialog>(auto change, auto box,
                                                 const std::vector<Way>& ways) {
        for (const Way way : ways) {
            Dialog dialog(settings, window.form);
            dialog.form.show();
            forms::doEvents();
            EXPECT_TRUE(way < EnterOnOk || forms::showsFocusRing(dialog.cmdOK)) << way;
            change(dialog);
            if (way == Cancel) {
                dialog.cmdCancel_Click();
            } else if (way == Close) {
                forms::simulateClose(dialog.form);
            } else {
                forms::simulateKey(way == EnterOnOk ? dialog.cmdOK : box(dialog),
                                   way == Escape ? forms::KEY_ESCAPE : forms::KEY_RETURN);
            }
            EXPECT_FALSE(dialog.form.isShown()) << way;
        }
    };
    const auto preferences = [&](const std::vector<Way>& ways) {
        endEachWay.operator()<frmPreferences>(
            [](frmPreferences& d) {
                d.optSearch[2].setValue(true);
                d.chkDups.setValue(true);
                d.txtAlternate[3].setText(d.txtAlternate[3].text() + "x");
            },
            [](frmPreferences& d) -> forms::Control& { return d.txtAlternate[3]; }, ways);
    };
    const auto more = [&](const std::vector<Way>& ways) {
        endEachWay.operator()<frmMore>(
            [](frmMore& d) {
                forms::simulateClick(d.Browsers.chkBrowser[0]);
                d.Browsers.chkBrowserAlt[1].setValue(false);
                d.Browsers.txtBrowserAlt[1].setText(d.Browsers.txtBrowserAlt[1].text() + "y");
                forms::simulateClick(d.Launcher.chkAccents);
                forms::simulateKeyCombination(d.Launcher.hkyHotkey, "Ctrl+Alt+Z");
                forms::simulateClick(d.List.chkMergeCopies);
                forms::simulateClick(d.Folders.chkFolderWords);
                d.Folders.txtLeaveOut.setText("Private");
            },
            [](frmMore& d) -> forms::Control& { return d.Launcher.chkWords; }, ways);
    };
    preferences({Cancel, Escape, Close});
    more({Cancel, Escape, Close});
    EXPECT_EQ(std::tie(settings.FolderWords, settings.LeaveOut), std::tie(FOLDER_WORDS_OFF, ""));
    EXPECT_EQ(std::tie(settings.Function, settings.Duplicates, settings.NetscapeAlt,
                       settings.DoFirefox, settings.DoChromiumEx, settings.ChromiumAlt,
                       settings.Accents, settings.HotKey, settings.MergeCopies),
              std::tie(FUNC_NAME, DUPS_KEEP, "", DO_YES, DO_YES, "", ACCENTS_MATCH, "",
                       MERGE_COPIES_OFF));
    preferences({EnterOnOk, EnterInABox});
    more({EnterOnOk, EnterInABox});
    EXPECT_EQ(std::tie(settings.NetscapeAlt, settings.ChromiumAlt), std::tie("xx", "yy"));
}

// More lists and switches the profiles, and takes hand-added paths, marking unreadable ones.
TEST_F(MainWindow, BrowserProfilesAreListedAndSwitchedInMore) {
    const BrowserProfile profile =
        test::chromiumProfile(tmp, Browser::Chromium, "Person 1", "Zt Work", "https://work/");
    settings.BrowserProfiles = {profile, profile};
    settings.BrowserProfiles[1].name = "Locked";
    settings.BrowserProfiles[1].problem = "only an encrypted bookmarks file";
    Lines listed;
    inMoreDialog([&](frmMore& more) {
        for (int i = 0; i < more.Browsers.lstProfiles.listCount(); ++i)
            listed.push_back(more.Browsers.lstProfiles.list(i));
        EXPECT_TRUE(more.Browsers.chkBrowser[2].value()); // Chromium, on at the first run
        forms::simulateClick(more.Browsers.chkBrowser[2]);
        BrowsersPage& page = more.Browsers;
        std::vector<bool> foldersAsked;
        page.choosePath = [&](const forms::Form&, std::string_view, std::string_view,
                              bool asFolder) -> std::optional<std::string> {
            foldersAsked.push_back(asFolder);
            return asFolder ? std::optional(tmp / "Fav") : std::nullopt;
        };
        forms::simulateClick(page.cmdBrowse[0]);
        forms::simulateTyping(page.txtBrowserAlt[1], "/no/such/Bookmarks");
        forms::simulateClick(page.cmdBrowse[1]); // cancelled: the box keeps what it holds
        EXPECT_EQ(foldersAsked, (std::vector<bool>{true, false}));
        EXPECT_EQ(std::tuple(page.txtBrowserAlt[0].text(), page.txtBrowserAlt[1].text()),
                  std::tuple(tmp / "Fav", "/no/such/Bookmarks"));
        EXPECT_FALSE(page.lblBrowserAltProblem[0].visible());
        EXPECT_TRUE(page.lblBrowserAltProblem[1].visible());
        EXPECT_FALSE(page.lblBrowserAltProblem[1].toolTip().empty());
        EXPECT_EQ(forms::cutCaptions(more.form), Lines{});
        more.cmdOK_Click();
    });
    const std::string folder = tmp / "Person 1";
    EXPECT_EQ(listed,
              (Lines{"Chromium  Person 1  -  1 bookmark  -  " + folder,
                     "Chromium  Locked  -  cannot be read: only an encrypted bookmarks file  -  " +
                         folder}));
    EXPECT_EQ(std::tuple(settings.DoChromium, settings.DoFirefox, settings.FirefoxAlt,
                         settings.ChromiumAlt),
              std::tuple(DO_NO, DO_YES, tmp / "Fav", "/no/such/Bookmarks"));
}

// The Folders page stores its rules (FolderSearch tests them); one profile switches off alone.
TEST_F(MainWindow, FoldersPageAndOneProfileSwitchedOffAreStored) {
    settings.BrowserProfiles = {
        test::chromiumProfile(tmp, Browser::Chromium, "Person 1", "Zt one", "https://one/"),
        test::chromiumProfile(tmp, Browser::Chromium, "Person 2", "Zt two", "https://two/")};
    inMoreDialog([&](frmMore& more) {
        EXPECT_FALSE(more.Folders.chkFolderWords.value() || more.Browsers.chkProfile.visible());
        forms::simulateClick(more.Folders.chkFolderWords);
        more.Folders.txtLeaveOut.setText(" private ;; old ");
        more.Browsers.lstProfiles.setListIndex(1);
        EXPECT_TRUE(more.Browsers.chkProfile.visible() && more.Browsers.chkProfile.value());
        forms::simulateClick(more.Browsers.chkProfile);
        more.Browsers.lstProfiles.setListIndex(0);
        EXPECT_TRUE(more.Browsers.chkProfile.value());
        more.cmdOK_Click();
    });
    EXPECT_EQ(std::tuple(settings.FolderWords, settings.LeaveOut, settings.ProfilesOff),
              std::tuple(FOLDER_WORDS_ON, "private; old", tmp / "Person 2"));
    inMoreDialog([&](frmMore& more) {
        more.Browsers.lstProfiles.setListIndex(1);
        EXPECT_FALSE(more.Browsers.chkProfile.value());
        EXPECT_EQ(more.Folders.txtLeaveOut.text(), "private; old");
        forms::simulateClick(more.Browsers.chkProfile);
        more.cmdOK_Click();
    });
    EXPECT_EQ(settings.ProfilesOff, "");
}

// Enter opens in the bookmark's own browser and profile, Shift privately; unticked, the desktop's.
TEST_F(MainWindow, BrowserBookmarksOpenInTheirOwnBrowserAndProfileEvenMerged) {
    const test::FakeBrowsers fakes(tmp);
    const std::string chromium = fakeChromium(fakes);
    settings.BrowserProfiles = {
        test::chromiumProfile(tmp, Browser::Chromium, "Person 1", "Zt Work", "https://work/")};
    const std::string own = chromium + "\n--profile-directory=Person 1\n";
    settings.DebugMode = DEBUG_ON; // says what was started, should a check fail
    enter("zt");
    forms::simulateKeyCombination(window.cboResult, "Shift+Return");
    EXPECT_EQ(fakes.started(), own + "--incognito\nhttps://work/\nend\n") << log();
    EXPECT_FALSE(window.cboResult.visible()); // closed as by Enter
    enter("zt");
    forms::simulateDoubleClick(window.cboResult, 0, true);
    EXPECT_EQ(fakes.started(), own + "--incognito\nhttps://work/\nend\n");
    forms::simulateKey(window.cboResult, '-'); // Shift lingers no further
    EXPECT_EQ(fakes.started(), own + "https://work/\nend\n");
    enter("news");
    forms::simulateKeyCombination(window.cboResult, "Shift+Return");
    EXPECT_EQ(shell.opened, Lines{"http://daily/"});

    // "One row per address": Enter opens the copy read first; the tooltip lists every copy.
    settings.BrowserProfiles.push_back(
        test::chromiumProfile(tmp, Browser::Chromium, "Person 2", "Zt Job", "HTTPS://Work"));
    inMoreDialog([](frmMore& more) {
        EXPECT_FALSE(more.List.chkMergeCopies.value());
        forms::simulateClick(more.List.chkMergeCopies);
        more.cmdOK_Click();
    });
    EXPECT_TRUE(settings.MergeCopies == MERGE_COPIES_ON && stores("MergeCopies=36"));
    enter("zt");
    ASSERT_EQ(rows(), Lines{"Zt Work  -  https://work/"});
    window.cboResult_Click();
    EXPECT_EQ(window.cboResult.toolTip(),
              "Chromium, profile Person 1 - Zt Work\nCopies: 2\nChromium, profile Person 1 "
              "\u00b7 (top level)\nChromium, profile Person 2 \u00b7 (top level)");
    forms::simulateKey(window.cboResult, forms::KEY_RETURN);
    EXPECT_EQ(fakes.started(), own + "https://work/\nend\n");

    inMoreDialog([](frmMore& more) {
        EXPECT_TRUE(more.Opening.chkOwnBrowser.value());
        forms::simulateClick(more.Opening.chkOwnBrowser);
        more.cmdOK_Click();
    });
    EXPECT_TRUE(settings.DoOwnBrowser == DO_NO && stores("DoOwnBrowser=14"));
    enter("zt");
    forms::simulateKeyCombination(window.cboResult, "Shift+Return");
    EXPECT_EQ(shell.opened, (Lines{"http://daily/", "https://work/"}));
}

// The List page's boxes: a wrapped tooltip of the row under the mouse, and where each row lives.
TEST_F(MainWindow, ListPageShowsWhereEachBookmarkLivesInTheRowsAndTheirTooltips) {
    const std::string longAddress = "https://work/" + std::string(400, 'a');
    settings.BrowserProfiles = {
        test::chromiumProfile(tmp, Browser::Chromium, "Person 1", "Zt Work", longAddress)};
    enter("zt");
    window.cboResult_Click();
    EXPECT_EQ(forms::simulateHover(window.cboResult, 0), "Chromium, profile Person 1 - Zt Work")
        << "the selected row's, at first";
    forms::simulateKey(window.cboResult, forms::KEY_ESCAPE);
    inMoreDialog([&](frmMore& more) {
        EXPECT_FALSE(more.List.chkHoverTip.value() || more.List.chkShowWhere.value());
        forms::simulateClick(more.List.chkHoverTip);
        forms::simulateClick(more.List.chkShowWhere);
        more.cmdOK_Click();
    });
    EXPECT_EQ(std::tuple(settings.HoverTip, settings.ShowWhere),
              std::tuple(HOVER_TIP_ON, SHOW_WHERE_ON));
    enter("zt");
    EXPECT_EQ(rows(), (Lines{"Zt Work  -  " + longAddress}));
    std::string tip = forms::simulateHover(window.cboResult, 0);
#ifndef _WIN32
    // Wrapped here; the Windows tooltip control wraps by itself.
    EXPECT_GT(std::count(tip.begin(), tip.end(), '\n'), 5);
#endif
    std::erase(tip, '\n');
    EXPECT_TRUE(tip.starts_with("Name: Zt WorkAddress: " + longAddress)) << tip;
    EXPECT_EQ(forms::simulateHover(window.cboResult, -1), "");
}

#ifdef ZAPTROVE_TEST_PLACES
// A keyword with POST data opens plain (and is logged); a tagged bookmark's tooltip lists its tags.
TEST_F(MainWindow, FirefoxKeywordWithPostDataOpensPlainAndTagsShowInTheTooltip) {
    const BrowserProfile firefox = test::firefoxProfile(tmp, "ff");
    {
        test::PlacesDatabase places(firefox.bookmarksFile);
        const auto wiki = places.add(test::PlacesDatabase::kMenu, 1, "Wikipedia",
                                     "https://wiki.example/?search=%s");
        places.keyword(wiki, "wp");
        places.keyword(places.add(test::PlacesDatabase::kMenu, 1, "Post", "https://post.example/"),
                       "pd", "q=%s");
        places.exec("INSERT INTO moz_bookmarks (type, fk, parent) VALUES (1, (SELECT fk FROM "
                    "moz_bookmarks WHERE id = " +
                    std::to_string(wiki) + "), " +
                    std::to_string(places.folder(test::PlacesDatabase::kTags, "zaptag")) + ")");
    }
    settings.BrowserProfiles = {firefox};
    settings.DoOwnBrowser = DO_NO, settings.DebugMode = DEBUG_ON;
    enter("pd x");
    forms::simulateKey(window.cboResult, forms::KEY_RETURN);
    EXPECT_EQ(shell.opened.back(), "https://post.example/");
    EXPECT_TRUE(logged("Keyword with POST data opened as a plain address"));

    enter("zaptag");
    window.cboResult_Click();
    EXPECT_EQ(window.cboResult.toolTip(), "Firefox, profile default - Wikipedia\nTags: zaptag");
}
#endif

// A place stored under another display scale is brought back onto the screen, width cut to fit.
TEST_F(MainWindow, StartsOnAScreenWhateverPlaceWasStored) {
    const forms::TwipsRect screen = forms::screenWorkAreas().at(0);
    registry.store({{"Present", 1.0}, {"Left", -40000.0}, {"Top", -9000.0}, {"Width", 90000.0}});
    Settings loaded;
    frmMain other{loaded, {*registry, shell, clock, [] {}, tmp / "log"}};
    other.Form_Load();
    // Before the window is shown its frame's borders are not known yet.
    const float borders = 4 * forms::twipsPerPixelX();
    EXPECT_NEAR(other.form.left(), screen.left, borders);
    EXPECT_NEAR(other.form.top(), screen.top, borders);
    EXPECT_EQ(other.form.width(), screen.width);
}

TEST(WindowPlacement, MovesOnlyAWindowWhoseTitleBarIsOutOfReach) {
    using R = forms::TwipsRect;
    const std::vector<R> screens{{0, 0, 19200, 12000}, {19200, 0, 19200, 12000}};
    const std::pair<R, R> cases[] = {
        {{1000, 1000, 4500, 600}, {1000, 1000, 4500, 600}},      // on one screen
        {{18000, 11900, 4500, 600}, {18000, 11900, 4500, 600}},  // across two, bottom hanging off
        {{36000, 500, 4500, 600}, {33900, 500, 4500, 600}},      // off the right edge
        {{-30000, -5000, 4500, 600}, {0, 0, 4500, 600}},         // off every screen
        {{20000, -100, 4500, 600}, {20000, 0, 4500, 600}},       // title bar above the top
        {{30000, 6000, 50000, 600}, {19200, 6000, 19200, 600}}}; // wider than any screen
    for (const auto& [window, placed] : cases)
        EXPECT_EQ(fnPlaceOnScreen(window, screens), placed) << window.left << "," << window.top;
    EXPECT_EQ(fnPlaceOnScreen({-9000, 0, 10, 10}, {}), (R{-9000, 0, 10, 10}));
}

TEST_F(MainWindow, LauncherPageStoresItsSettingsAndTheHotkeyTakesEffectAtOnce) {
    inMoreDialog([](frmMore& more) {
        LauncherPage& page = more.Launcher;
        more.lstPages.setListIndex(1);
        more.lstPages.setListIndex(-1); // a click below the rows
        EXPECT_TRUE(page.fraLauncher.visible() && !more.Browsers.frame().visible() &&
                    page.hkyHotkey.visible());
        forms::simulateClick(page.chkWords);
        forms::simulateClick(page.chkInstant);
        forms::simulateKeyCombination(page.hkyHotkey, "Ctrl+Alt+Z");
        forms::simulateKeyCombination(page.hkyHotkey, "Shift+A"); // no hotkey: not taken
        EXPECT_EQ(page.hkyHotkey.text(), "Ctrl+Alt+Z");
        forms::simulateClick(page.chkTrayMenu);
        forms::simulateClick(page.chkStartAtLogin);
        more.cmdOK_Click();
    });
    EXPECT_EQ(
        std::tuple(settings.Words, settings.Accents, settings.Instant, settings.HotKey,
                   settings.TrayMenu, autostart.on),
        std::tuple(WORDS_ANY_ORDER, ACCENTS_MATCH, INSTANT_ON, "Ctrl+Alt+Z", TRAY_MENU_ON, true));
    EXPECT_TRUE(stores("Instant=24") && stores("HotKey=Ctrl+Alt+Z"));
    EXPECT_EQ(settings.HotKeyStatus, "Ctrl+Alt+Z shows or hides the window.");
    window.subApplyHotkey(); // unchanged: not registered again
    EXPECT_EQ(hotkeys.registered, Lines{"Ctrl+Alt+Z"});

    // The hotkey hides the window in front and brings it back with the old text selected.
    ASSERT_TRUE(hotkeys.press);
    forms::simulateTyping(window.txtInput, "crème");
    forms::appActivate(window.form.caption());
    forms::doEvents();
    ASSERT_TRUE(window.form.isActive());
    hotkeys.press();
    settle();
    EXPECT_EQ(window.form.windowState(), forms::WINDOW_MINIMIZED);
    hotkeys.press();
    settle();
    EXPECT_EQ(window.form.windowState(), forms::WINDOW_NORMAL);
    EXPECT_TRUE(window.form.isActive() && forms::hasFocus(window.txtInput));
    forms::simulateTyping(window.txtInput, "elan");
    EXPECT_EQ(window.txtInput.text(), "elan");

    // An entry that cannot be removed stays shown as it is, and the log says why.
    settings.DebugMode = DEBUG_ON, autostart.refusal = "Permission denied";
    settings.StartAtLogin = false;
    window.subApplyStartAtLogin();
    EXPECT_TRUE(settings.StartAtLogin && autostart.on);
    EXPECT_TRUE(logged("Starting at login could not be changed: Permission denied"));
}

TEST_F(MainWindow, ARefusedOrUnofferedHotkeyIsReportedInThePageAndTheLog) {
    hotkeys.answer = platform::HotkeyState::Taken, hotkeys.detail = "another program holds it";
    settings.HotKey = "Ctrl+Alt+T";
    window.subApplyHotkey();
    enter("\\enable_debug");
    EXPECT_TRUE(logged("! [05/12/03 - 14:07:31] Hotkey Ctrl+Alt+T was refused (another program "
                       "holds it): choose another combination."));
    const auto page = [&] {
        frmMore dialog(settings, window.form);
        dialog.form.show();
        const LauncherPage& launcher = dialog.Launcher;
        return std::tuple(launcher.hkyHotkey.visible(), launcher.lblHotkeyStatus.caption(),
                          launcher.txtShowCommand.text());
    };
    EXPECT_EQ(page(), std::tuple(true, settings.HotKeyStatus, "zaptrove --show"));
    std::string flood; // a hand-edited store: refused, and named only by its start
    for (int k = 0; k < 100'000; ++k)
        flood += "Ctrl+";
    settings.HotKey = flood + "Z";
    window.subApplyHotkey();
    EXPECT_EQ(settings.HotKeyStatus,
              flood.substr(0, 40) + "\u2026 cannot be a hotkey (not a key combination).");
    settings.HotKeysOffered = false;
    EXPECT_EQ(page(), std::tuple(false, "This desktop offers programs no global hotkey.",
                                 "zaptrove --show"));
}
