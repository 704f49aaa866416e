// SPDX-License-Identifier: MIT
#include "settings/registry_values.h"
#include "settings/settings_store.h"
#include "support/fake_window.h"
#include "support/test_registry.h"

#include <gtest/gtest.h>

using namespace zaptrove;
using platform::RegistryRoot;
using test::FakeWindow;

namespace {

class SettingsStore : public ::testing::Test {
  protected:
    test::TestRegistry registry;
    FakeWindow window;
    Settings settings;

    void setStored(std::string_view name, const RegistryData& value, std::uint32_t type) {
        subCreateKey(*registry, RegistryRoot::CurrentUser, SettingsKey);
        subSetValue(*registry, RegistryRoot::CurrentUser, SettingsKey, name, value, type);
    }
    bool stores(std::string_view value) const {
        const auto values = registry.settingsValues();
        return std::find(values.begin(), values.end(), value) != values.end();
    }
    // Every field a store reads or writes, to compare whole settings at once.
    static auto fields(const Settings& s) {
        return std::tie(s.Function, s.Sort, s.Launch, s.Tray, s.Single, s.Duplicates, s.Height,
                        s.DoMSIE, s.DoMSIEEx, s.DoNetscape, s.DoNetscapeEx, s.DoOpera, s.DoOperaEx,
                        s.MSIEMain, s.MSIEAlt, s.NetscapeMain, s.NetscapeAlt, s.OperaMain,
                        s.OperaAlt, s.DoFirefox, s.DoChrome, s.DoChromium, s.DoEdge, s.DoBrave,
                        s.DoVivaldi, s.DoOperaBlink, s.DoFirefoxEx, s.FirefoxAlt, s.DoChromiumEx,
                        s.ChromiumAlt);
    }
};

} // namespace

// The browser values come after the twenty, all switched on, so that a browser
// installed later is read too.
TEST_F(SettingsStore, FirstRunWritesTwentyValuesAndTheBrowsersAndTheFirstExitAllOfThem) {
    settings.NetscapeMain = NOT_FOUND;
    window.top = 1234.5f;  // stored as 1234: halves go to the even neighbour
    window.left = 1235.5f; // stored as 1236
    subLoadSettings(*registry, settings, window);
    EXPECT_EQ(registry.settingsValues(),
              (std::vector<std::string>{
                  "ChromiumAlt=",    "DoBrave=13",      "DoChrome=13",   "DoChromium=13",
                  "DoChromiumEx=13", "DoEdge=13",       "DoFirefox=13",  "DoFirefoxEx=13",
                  "DoMSIE=13",       "DoMSIEEx=14",     "DoNetscape=14", "DoNetscapeEx=14",
                  "DoOpera=14",      "DoOperaBlink=13", "DoOperaEx=14",  "DoVivaldi=13",
                  "FirefoxAlt=",     "Function=0",      "Height=991",    "Launch=4",
                  "Left=1236",       "MSIEAlt=",        "NetscapeAlt=",  "NetscapeMain=",
                  "OperaAlt=",       "OperaMain=",      "Present=1",     "Sort=3",
                  "Top=1234",        "Tray=4",          "Width=4500"}));
    EXPECT_EQ(std::tuple(settings.DoNetscape, settings.DoNetscapeEx, settings.Duplicates,
                         settings.Single, settings.NetscapeMain),
              std::tuple(DO_YES, DO_YES, DUPS_KEEP, CLICK_DOUBLE, NOT_FOUND));

    subSaveSettings(*registry, settings, window);
    EXPECT_EQ(registry.settingsValues().size(), 22u + 11u);
    EXPECT_TRUE(stores("DoNetscape=13") && stores("DoNetscapeEx=13") && stores("Height=0") &&
                stores("NetscapeMain=<not found>"));
}

TEST_F(SettingsStore, ReadingNeverWritesAndALaterRunRestoresEverything) {
    EXPECT_FALSE(fnReadStoredSettings(*registry, settings, window));
    EXPECT_TRUE(registry.settingsValues().empty());

    Settings saved;
    saved.Function = FUNC_BOTH, saved.Sort = SORT_URL, saved.Launch = LAUNCH_QUIT;
    saved.Tray = TRAY_ON, saved.Single = CLICK_SINGLE, saved.Duplicates = DUPS_REMOVE;
    saved.Height = 4000, saved.DoOpera = DO_YES, saved.OperaMain = "/home/u/opera6.adr";
    saved.MSIEAlt = "D:\\Fävs ニュース 😀\\", saved.NetscapeMain = "C:\\nav\\bookmark.htm";
    saved.DoFirefox = saved.DoEdge = saved.DoFirefoxEx = DO_YES, saved.DoOperaBlink = DO_NO;
    saved.DoChrome = saved.DoChromium = saved.DoBrave = saved.DoVivaldi = 14;
    saved.DoChromiumEx = 0, saved.FirefoxAlt = "/home/u/ff", saved.ChromiumAlt = "C:\\B";
    setStored("Present", 1.0, platform::RegistryType::Dword);
    FakeWindow moved;
    moved.top = 10, moved.left = 20, moved.width = 7000;
    subSaveSettings(*registry, saved, moved);

    settings.NetscapeMain = "discovered"; // a stored path wins
    ASSERT_TRUE(fnReadStoredSettings(*registry, settings, window));
    EXPECT_EQ(fields(settings), fields(saved));
    EXPECT_EQ(std::tie(window.top, window.left, window.width),
              std::tie(moved.top, moved.left, moved.width));
}

TEST_F(SettingsStore, MissingOrUnusableValuesTakeTheirFallbacks) {
    setStored("Present", 1.0, platform::RegistryType::Dword);
    setStored("Sort", 70000.0, platform::RegistryType::Dword); // outside 16 bits
    setStored("Launch", std::string("5"),
              platform::RegistryType::String);                  // a text where a number belongs
    setStored("OperaMain", 7.0, platform::RegistryType::Dword); // a number where a text belongs
    setStored("NetscapeMain", std::string(NOT_FOUND), platform::RegistryType::String);
    const platform::KeyHandle key = registry->openKey(RegistryRoot::CurrentUser, SettingsKey);
    registry->setValue(key, "Tray", {platform::RegistryType::Binary, {}, 0, {1, 2, 3, 4}});
    std::int16_t tray = 99;
    EXPECT_EQ(fnReadValue(*registry, key, "Tray", tray), -1);
    EXPECT_EQ(tray, 99);
    registry->closeKey(key);

    for (const std::string& discovered :
         {std::string("C:\\nav\\bookmark.htm"), std::string(NOT_FOUND)}) {
        settings = Settings{};
        settings.NetscapeMain = discovered;
        settings.OperaMain = "left over", settings.Function = FUNC_URL;
        ASSERT_TRUE(fnReadStoredSettings(*registry, settings, window));
        Settings expected;
        expected.Function = FUNC_NAME, expected.Sort = SORT_SEARCHED;
        expected.Launch = LAUNCH_NOTHING, expected.Tray = TRAY_OFF, expected.DoMSIE = DO_YES;
        expected.Single = CLICK_DOUBLE, expected.Duplicates = DUPS_KEEP;
        expected.DoMSIEEx = expected.DoNetscapeEx = expected.DoOpera = expected.DoOperaEx = DO_NO;
        expected.DoNetscape = discovered == NOT_FOUND ? DO_NO : DO_YES;
        // Settings stored before the browser values existed: every browser on.
        expected.DoFirefox = expected.DoChrome = expected.DoChromium = expected.DoEdge = DO_YES;
        expected.DoBrave = expected.DoVivaldi = expected.DoOperaBlink = DO_YES;
        expected.DoFirefoxEx = expected.DoChromiumEx = DO_YES;
        expected.NetscapeMain = discovered;
        EXPECT_EQ(fields(settings), fields(expected));
        EXPECT_EQ(window.width, 4500); // no stored width: the window keeps its own
    }
}

TEST_F(SettingsStore, MinimisedExitKeepsGeometryResetExitWritesNothingAndResetRemovesTheKey) {
    subLoadSettings(*registry, settings, window);
    window.minimized = true, window.top = 5, settings.Height = 3000;
    subSaveSettings(*registry, settings, window);
    EXPECT_TRUE(stores("Top=1200") && stores("Height=991"));

    settings.Function = FUNC_RESET, settings.Sort = SORT_NAME;
    subSaveSettings(*registry, settings, window);
    EXPECT_TRUE(stores("Sort=3"));

    subDeleteSettings(*registry);
    EXPECT_EQ(registry->openKey(RegistryRoot::CurrentUser, SettingsKey), 0);
    EXPECT_FALSE(fnReadStoredSettings(*registry, settings, window));
}

// Opening in the bookmark's own browser is on in a store without the value,
// which is written only while it is off.
TEST_F(SettingsStore, OwnBrowserIsOnWhenMissingAndStoredOnlyWhileOff) {
    const auto held = [&] {
        Settings later;
        subLoadSettings(*registry, later, window);
        return later.DoOwnBrowser;
    };
    subLoadSettings(*registry, settings, window);
    subSaveSettings(*registry, settings, window);
    const auto older = registry.settingsValues();
    EXPECT_EQ(held(), DO_YES);
    settings.DoOwnBrowser = DO_NO;
    subSaveSettings(*registry, settings, window);
    EXPECT_TRUE(stores("DoOwnBrowser=14"));
    EXPECT_EQ(held(), DO_NO);
    settings.DoOwnBrowser = DO_YES;
    subSaveSettings(*registry, settings, window);
    EXPECT_EQ(registry.settingsValues(), older);
    settings.DoOwnBrowser = DO_NO;
    subSaveSettings(*registry, settings, window);
    subDeleteSettings(*registry); // as \r does
    EXPECT_TRUE(registry.settingsValues().empty());
}

TEST_F(SettingsStore, ValuesAddedLaterAreOffWhenMissingAndStoredOnlyWhileOn) {
    const auto launcher = [](const Settings& s) {
        return std::tuple(s.Words, s.Accents, s.Instant, s.HotKey, s.TrayMenu, s.HoverTip,
                          s.ShowWhere, s.MergeCopies, s.RankByUse);
    };
    subLoadSettings(*registry, settings, window);
    subSaveSettings(*registry, settings, window); // a store as older versions leave it
    const auto older = registry.settingsValues();
    Settings later;
    subLoadSettings(*registry, later, window);
    EXPECT_EQ(launcher(later),
              std::tuple(WORDS_TOGETHER, ACCENTS_MATCH, INSTANT_OFF, "", TRAY_MENU_OFF,
                         HOVER_TIP_OFF, SHOW_WHERE_OFF, MERGE_COPIES_OFF, RANK_USE_OFF));

    settings.Words = WORDS_ANY_ORDER, settings.Instant = INSTANT_ON, settings.HotKey = "Ctrl+Alt+Z";
    settings.TrayMenu = TRAY_MENU_ON, settings.HoverTip = HOVER_TIP_ON;
    settings.ShowWhere = SHOW_WHERE_ON, settings.MergeCopies = MERGE_COPIES_ON;
    settings.RankByUse = RANK_USE_ON;
    subSaveSettings(*registry, settings, window);
    EXPECT_TRUE(stores("Words=20") && stores("Instant=24") && stores("HotKey=Ctrl+Alt+Z") &&
                stores("TrayMenu=26") && stores("HoverTip=30") && stores("ShowWhere=32") &&
                stores("MergeCopies=36") && stores("RankByUse=38"));
    EXPECT_EQ(registry.settingsValues().size(), older.size() + 8);
    subLoadSettings(*registry, later, window);
    EXPECT_EQ(launcher(later),
              std::tuple(WORDS_ANY_ORDER, ACCENTS_MATCH, INSTANT_ON, "Ctrl+Alt+Z", TRAY_MENU_ON,
                         HOVER_TIP_ON, SHOW_WHERE_ON, MERGE_COPIES_ON, RANK_USE_ON));

    // switched off again: the value goes
    settings.Words = WORDS_TOGETHER, settings.Instant = INSTANT_OFF, settings.HotKey.clear();
    settings.TrayMenu = TRAY_MENU_OFF, settings.HoverTip = HOVER_TIP_OFF;
    settings.ShowWhere = SHOW_WHERE_OFF, settings.MergeCopies = MERGE_COPIES_OFF;
    settings.RankByUse = RANK_USE_OFF;
    subSaveSettings(*registry, settings, window);
    EXPECT_EQ(registry.settingsValues(), older);
    settings.Accents = ACCENTS_IGNORE, settings.HotKey = "F12", settings.TrayMenu = TRAY_MENU_ON;
    settings.HoverTip = HOVER_TIP_ON, settings.ShowWhere = SHOW_WHERE_ON;
    settings.MergeCopies = MERGE_COPIES_ON, settings.RankByUse = RANK_USE_ON;
    subSaveSettings(*registry, settings, window);
    subDeleteSettings(*registry); // as \r does
    EXPECT_TRUE(registry.settingsValues().empty());
}

// The folder rules and the profiles switched off are absent from older stores
// and written only while set; a list of several profiles survives its line
// breaks.
TEST_F(SettingsStore, FolderRulesAndProfilesOffAreStoredOnlyWhileSet) {
    const auto folders = [](const Settings& s) {
        return std::tuple(s.FolderWords, s.LeaveOut, s.ProfilesOff);
    };
    subLoadSettings(*registry, settings, window);
    subSaveSettings(*registry, settings, window);
    const auto older = registry.settingsValues();
    Settings later;
    subLoadSettings(*registry, later, window);
    EXPECT_EQ(folders(later), std::tuple(FOLDER_WORDS_OFF, "", ""));

    settings.FolderWords = FOLDER_WORDS_ON, settings.LeaveOut = "Private; Old";
    settings.ProfilesOff = "/home/u/.mozilla/firefox/a b.default\n/home/u/.config/chromium/Work";
    subSaveSettings(*registry, settings, window);
    EXPECT_TRUE(stores("FolderWords=34") && stores("LeaveOut=Private; Old"));
    EXPECT_EQ(registry.settingsValues().size(), older.size() + 3);
    subLoadSettings(*registry, later, window);
    EXPECT_EQ(folders(later), folders(settings));

    settings.FolderWords = FOLDER_WORDS_OFF, settings.LeaveOut.clear();
    settings.ProfilesOff.clear();
    subSaveSettings(*registry, settings, window);
    EXPECT_EQ(registry.settingsValues(), older);
    settings.FolderWords = FOLDER_WORDS_ON, settings.LeaveOut = "x", settings.ProfilesOff = "y";
    subSaveSettings(*registry, settings, window);
    subDeleteSettings(*registry); // as \r does
    EXPECT_TRUE(registry.settingsValues().empty());
}
