#include "settings/registry_values.h"
#include "settings/settings_store.h"
#include "support/fake_window.h"
#include "support/test_registry.h"

#include <gtest/gtest.h>

using namespace zaptrove;
using platform::HKEY_CURRENT_USER;
using test::FakeWindow;

namespace {

class SettingsStore : public ::testing::Test {
  protected:
    test::TestRegistry registry;
    FakeWindow window;
    Settings settings;

    void setStored(std::string_view name, const RegistryData& value, std::uint32_t type) {
        subCreateKey(*registry, HKEY_CURRENT_USER, SettingsKey);
        subSetValue(*registry, HKEY_CURRENT_USER, SettingsKey, name, value, type);
    }
};

} // namespace

TEST_F(SettingsStore, FirstRunWritesTwentyValuesAndTheFirstExitAllTwentyTwo) {
    settings.NetscapeMain = NOT_FOUND;
    window.top = 1234.5f;  // stored as 1234: halves go to the even neighbour
    window.left = 1235.5f; // stored as 1236
    subLoadSettings(*registry, settings, window);
    EXPECT_EQ(
        registry.settingsValues(),
        (std::vector<std::string>{
            "DoMSIE=13",    "DoMSIEEx=14",  "DoNetscape=14", "DoNetscapeEx=14", "DoOpera=14",
            "DoOperaEx=14", "Function=0",   "Height=991",    "Launch=4",        "Left=1236",
            "MSIEAlt=",     "NetscapeAlt=", "NetscapeMain=", "OperaAlt=",       "OperaMain=",
            "Present=1",    "Sort=3",       "Top=1234",      "Tray=4",          "Width=4500"}));
    EXPECT_EQ(settings.DoNetscape, DO_YES);
    EXPECT_EQ(settings.DoNetscapeEx, DO_YES);
    EXPECT_EQ(settings.Duplicates, DUPS_KEEP);
    EXPECT_EQ(settings.Single, CLICK_DOUBLE);
    EXPECT_EQ(settings.NetscapeMain, NOT_FOUND);

    subSaveSettings(*registry, settings, window);
    const auto saved = registry.settingsValues();
    EXPECT_EQ(saved.size(), 22u);
    EXPECT_NE(std::find(saved.begin(), saved.end(), "DoNetscape=13"), saved.end());
    EXPECT_NE(std::find(saved.begin(), saved.end(), "DoNetscapeEx=13"), saved.end());
    EXPECT_NE(std::find(saved.begin(), saved.end(), "Height=0"), saved.end());
    EXPECT_NE(std::find(saved.begin(), saved.end(), "NetscapeMain=<not found>"), saved.end());
}

TEST_F(SettingsStore, ReadingNeverWritesAndALaterRunRestoresEverything) {
    EXPECT_FALSE(fnReadStoredSettings(*registry, settings, window));
    EXPECT_TRUE(registry.settingsValues().empty());

    Settings saved;
    saved.Function = FUNC_BOTH, saved.Sort = SORT_URL, saved.Launch = LAUNCH_QUIT;
    saved.Tray = TRAY_ON, saved.Single = CLICK_SINGLE, saved.Duplicates = DUPS_REMOVE;
    saved.Height = 4000, saved.DoOpera = DO_YES, saved.OperaMain = "/home/u/opera6.adr";
    saved.MSIEAlt = "D:\\Fävs ニュース 😀\\", saved.NetscapeMain = "C:\\nav\\bookmark.htm";
    setStored("Present", 1.0, platform::REG_DWORD);
    FakeWindow moved;
    moved.top = 10, moved.left = 20, moved.width = 7000;
    subSaveSettings(*registry, saved, moved);

    settings.NetscapeMain = "discovered";
    ASSERT_TRUE(fnReadStoredSettings(*registry, settings, window));
    EXPECT_EQ(settings.Function, FUNC_BOTH);
    EXPECT_EQ(settings.Sort, SORT_URL);
    EXPECT_EQ(settings.Launch, LAUNCH_QUIT);
    EXPECT_EQ(settings.Tray, TRAY_ON);
    EXPECT_EQ(settings.Single, CLICK_SINGLE);
    EXPECT_EQ(settings.Duplicates, DUPS_REMOVE);
    EXPECT_EQ(settings.Height, 4000);
    EXPECT_EQ(settings.OperaMain, "/home/u/opera6.adr");
    EXPECT_EQ(settings.MSIEAlt, "D:\\Fävs ニュース 😀\\");
    EXPECT_EQ(settings.NetscapeMain, "C:\\nav\\bookmark.htm"); // a stored path wins
    EXPECT_EQ(window.top, 10);
    EXPECT_EQ(window.left, 20);
    EXPECT_EQ(window.width, 7000);
}

TEST_F(SettingsStore, MissingOrUnusableValuesTakeTheirFallbacks) {
    setStored("Present", 1.0, platform::REG_DWORD);
    setStored("Function", 2.0, platform::REG_DWORD);
    setStored("Sort", 70000.0, platform::REG_DWORD);         // outside 16 bits
    setStored("Launch", std::string("5"), platform::REG_SZ); // a text where a number belongs
    setStored("OperaMain", 7.0, platform::REG_DWORD);        // a number where a text belongs
    setStored("NetscapeMain", std::string(NOT_FOUND), platform::REG_SZ);
    const platform::KeyHandle key = registry->openKey(HKEY_CURRENT_USER, SettingsKey);
    platform::RegistryValue blob;
    blob.type = platform::REG_BINARY;
    blob.data = {1, 2, 3, 4};
    registry->setValue(key, "Tray", blob);
    std::int16_t tray = 99;
    EXPECT_EQ(fnReadValue(*registry, key, "Tray", tray), -1);
    EXPECT_EQ(tray, 99);
    registry->closeKey(key);

    for (const std::string& discovered :
         {std::string("C:\\nav\\bookmark.htm"), std::string(NOT_FOUND)}) {
        settings = Settings{};
        settings.NetscapeMain = discovered;
        settings.OperaMain = "left over";
        ASSERT_TRUE(fnReadStoredSettings(*registry, settings, window));
        EXPECT_EQ(settings.Function, FUNC_BOTH);
        EXPECT_EQ(settings.Sort, SORT_SEARCHED);
        EXPECT_EQ(settings.Launch, LAUNCH_NOTHING);
        EXPECT_EQ(settings.Tray, TRAY_OFF);
        EXPECT_EQ(settings.OperaMain, "");
        EXPECT_EQ(settings.NetscapeMain, discovered);
        EXPECT_EQ(settings.DoMSIE, DO_YES);
        EXPECT_EQ(settings.DoMSIEEx, DO_NO);
        EXPECT_EQ(settings.DoNetscape, discovered == NOT_FOUND ? DO_NO : DO_YES);
        EXPECT_EQ(settings.Duplicates, DUPS_KEEP);
        EXPECT_EQ(settings.Single, CLICK_DOUBLE);
        EXPECT_EQ(window.width, 4500); // no stored width: the window keeps its own
    }
}

TEST_F(SettingsStore, MinimisedExitKeepsGeometryResetExitWritesNothingAndResetRemovesTheKey) {
    subLoadSettings(*registry, settings, window);
    window.minimized = true;
    window.top = 5;
    settings.Height = 3000;
    subSaveSettings(*registry, settings, window);
    auto values = registry.settingsValues();
    EXPECT_NE(std::find(values.begin(), values.end(), "Top=1200"), values.end());
    EXPECT_NE(std::find(values.begin(), values.end(), "Height=991"), values.end());

    settings.Function = FUNC_RESET;
    settings.Sort = SORT_NAME;
    subSaveSettings(*registry, settings, window);
    values = registry.settingsValues();
    EXPECT_NE(std::find(values.begin(), values.end(), "Sort=3"), values.end());

    subDeleteSettings(*registry);
    EXPECT_EQ(registry->openKey(HKEY_CURRENT_USER, SettingsKey), 0);
    EXPECT_TRUE(registry.settingsValues().empty());
    EXPECT_FALSE(fnReadStoredSettings(*registry, settings, window));
}
