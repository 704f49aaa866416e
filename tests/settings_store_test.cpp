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

// The browser values follow the twenty, all on, so that a browser installed later is read too.
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
    registry.store({{"Present", 1.0}});
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
    registry.store({{"Present", 1.0},
                    {"Sort", 70000.0},  // outside 16 bits
                    {"Launch", "5"},    // a text where a number belongs
                    {"OperaMain", 7.0}, // a number where a text belongs
                    {"NetscapeMain", NOT_FOUND}});
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

// Values added later load as their default when absent, are written only while they differ
// from it (a list of profiles keeps its line breaks).
TEST_F(SettingsStore, ValuesAddedLaterTakeTheirDefaultWhenMissingAndAreStoredOnlyWhileSet) {
    const auto added = [](const Settings& s) {
        return std::tuple(s.Words, s.Accents, s.Instant, s.HotKey, s.TrayMenu, s.HoverTip,
                          s.ShowWhere, s.MergeCopies, s.DoOwnBrowser, s.FolderWords, s.LeaveOut,
                          s.ProfilesOff, s.RankByUse);
    };
    const auto loaded = [&] {
        Settings later;
        subLoadSettings(*registry, later, window);
        return added(later);
    };
    subLoadSettings(*registry, settings, window);
    subSaveSettings(*registry, settings, window); // a store as older versions leave it
    const auto older = registry.settingsValues();
    const Settings defaults = settings;
    EXPECT_EQ(loaded(), std::tuple(WORDS_TOGETHER, ACCENTS_MATCH, INSTANT_OFF, "", TRAY_MENU_OFF,
                                   HOVER_TIP_OFF, SHOW_WHERE_OFF, MERGE_COPIES_OFF, DO_YES,
                                   FOLDER_WORDS_OFF, "", "", RANK_USE_OFF));

    settings.Words = WORDS_ANY_ORDER, settings.Instant = INSTANT_ON, settings.HotKey = "Ctrl+Alt+Z";
    settings.TrayMenu = TRAY_MENU_ON, settings.HoverTip = HOVER_TIP_ON;
    settings.ShowWhere = SHOW_WHERE_ON, settings.MergeCopies = MERGE_COPIES_ON;
    settings.DoOwnBrowser = DO_NO, settings.FolderWords = FOLDER_WORDS_ON;
    settings.LeaveOut = "Private; Old", settings.RankByUse = RANK_USE_ON;
    settings.Accents = ACCENTS_IGNORE;
    settings.ProfilesOff = "/home/u/.mozilla/firefox/a b.default\n/home/u/.config/chromium/Work";
    subSaveSettings(*registry, settings, window);
    for (const char* value : {"Words=20", "Instant=24", "HotKey=Ctrl+Alt+Z", "TrayMenu=26",
                              "HoverTip=30", "ShowWhere=32", "MergeCopies=36", "DoOwnBrowser=14",
                              "FolderWords=34", "LeaveOut=Private; Old", "RankByUse=38"})
        EXPECT_TRUE(stores(value)) << value;
    EXPECT_EQ(registry.settingsValues().size(), older.size() + 13);
    EXPECT_EQ(loaded(), added(settings));

    settings = defaults; // switched back: the values go
    subSaveSettings(*registry, settings, window);
    EXPECT_EQ(registry.settingsValues(), older);
}
