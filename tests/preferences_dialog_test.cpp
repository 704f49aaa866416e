#include "preferences_dialog/frm_preferences.h"

#include <gtest/gtest.h>

using namespace zaptrove;
namespace forms = platform::forms;

namespace {

class Preferences : public testing::Test {
  protected:
    forms::Form mainWindow{"Zaptrove v4.3", 4425, 315};
    Settings settings = firstRun();

    // Settings as a first run leaves them in memory.
    static Settings firstRun() {
        Settings s;
        s.Function = FUNC_NAME, s.Sort = SORT_SEARCHED, s.Launch = LAUNCH_NOTHING;
        s.Tray = TRAY_OFF, s.Single = CLICK_DOUBLE, s.Duplicates = DUPS_KEEP;
        s.DoMSIE = s.DoNetscape = s.DoNetscapeEx = DO_YES;
        s.DoMSIEEx = s.DoOpera = s.DoOperaEx = DO_NO;
        s.MSIEMain = "/home/u/Favorites\\";
        s.NetscapeMain = NOT_FOUND;
        return s;
    }
    // The selected option of each group, as 0 to 2 or -1 for none.
    static int selected(const std::array<forms::OptionButton, 3>& group) {
        for (int i = 0; i < 3; ++i) {
            if (group[i].value()) {
                return i;
            }
        }
        return -1;
    }
};

} // namespace

TEST_F(Preferences, ShowsTheFirstRunSettings) {
    frmPreferences dialog(settings, mainWindow);
    dialog.Form_Activate();
    EXPECT_EQ(dialog.form.caption(), "Preferences");
    EXPECT_EQ(selected(dialog.optSearch), 0);
    EXPECT_EQ(selected(dialog.optSort), 2);
    EXPECT_EQ(selected(dialog.optLaunch), 0);
    EXPECT_FALSE(dialog.chkMinimize.value() || dialog.ChkSingle.value() || dialog.chkDups.value());
    const bool uses[] = {true, false, true, true, false, false};
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(dialog.chkAlternate[row].value(), uses[row]) << row;
    }
    EXPECT_EQ(dialog.txtAlternate[0].text(), "/home/u/Favorites\\");
    EXPECT_TRUE(dialog.txtAlternate[0].readOnly());
    EXPECT_EQ(dialog.txtAlternate[2].text(), NOT_FOUND);
}

TEST_F(Preferences, OkStoresWhatIsShownWithAFolderBackslashAndNothingElseAdded) {
    for (const auto& [typed, stored] : {std::pair{"", "\\"}, std::pair{"C:\\Favs", "C:\\Favs\\"},
                                        std::pair{"C:\\Favs\\", "C:\\Favs\\"}}) {
        frmPreferences dialog(settings, mainWindow);
        dialog.Form_Activate();
        dialog.txtAlternate[0].setText("typed over the main folder");
        dialog.txtAlternate[1].setText(typed);
        dialog.txtAlternate[4].setText("/home/u/opera6.adr ");
        dialog.chkAlternate[4].setValue(true);
        dialog.cmdOK_Click();
        EXPECT_EQ(settings.MSIEAlt, stored);
    }
    Settings expected = firstRun();
    expected.MSIEAlt = "C:\\Favs\\";
    expected.OperaMain = "/home/u/opera6.adr "; // the blank stays
    expected.DoOpera = DO_YES;
    EXPECT_EQ(settings.MSIEMain, expected.MSIEMain);
    EXPECT_EQ(std::tie(settings.Function, settings.Sort, settings.Launch, settings.Tray,
                       settings.Single, settings.Duplicates, settings.DoOpera, settings.OperaMain),
              std::tie(expected.Function, expected.Sort, expected.Launch, expected.Tray,
                       expected.Single, expected.Duplicates, expected.DoOpera, expected.OperaMain));
}

TEST_F(Preferences, CancelEscapeAndTheCloseBoxChangeNothing) {
    const auto closers = {+[](frmPreferences& d) { d.cmdCancel_Click(); },
                          +[](frmPreferences& d) { forms::simulateKey(d.txtAlternate[3], 27); },
                          +[](frmPreferences& d) { forms::simulateClose(d.form); }};
    for (const auto close : closers) {
        frmPreferences dialog(settings, mainWindow);
        dialog.form.show();
        dialog.optSearch[2].setValue(true);
        dialog.chkDups.setValue(true);
        dialog.txtAlternate[3].setText("changed");
        close(dialog);
        EXPECT_FALSE(dialog.form.isShown());
        EXPECT_EQ(settings.Function, FUNC_NAME);
        EXPECT_EQ(settings.Duplicates, DUPS_KEEP);
        EXPECT_EQ(settings.NetscapeAlt, "");
    }
}

TEST_F(Preferences, ValuesOnlyADamagedStoreHoldsAreShownAndStoredSoundly) {
    settings.Duplicates = 0;
    settings.Single = 5;
    settings.Tray = 99;
    settings.Sort = 2;
    frmPreferences dialog(settings, mainWindow);
    dialog.Form_Activate();
    EXPECT_TRUE(dialog.chkDups.value() && dialog.ChkSingle.value() && dialog.chkMinimize.value());
    EXPECT_EQ(selected(dialog.optSort), -1);
    dialog.cmdOK_Click();
    EXPECT_EQ(settings.Duplicates, DUPS_REMOVE);
    EXPECT_EQ(settings.Single, CLICK_SINGLE);
    EXPECT_EQ(settings.Tray, TRAY_ON);
    EXPECT_EQ(settings.Sort, 2);
}
