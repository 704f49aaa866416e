// SPDX-License-Identifier: MIT
#include "preferences_dialog/frm_preferences.h"

#include "search/sources/locations.h"

namespace zaptrove {

namespace {

// The height of the strip below the dialog's own layout that holds "More…".
constexpr float kMoreStrip = 480;

// The setting code behind each option button, by index.
constexpr std::array<std::int16_t, 3> kSearchCodes = {FUNC_NAME, FUNC_URL, FUNC_BOTH};
constexpr std::array<std::int16_t, 3> kSortCodes = {SORT_NAME, SORT_URL, SORT_SEARCHED};
constexpr std::array<std::int16_t, 3> kLaunchCodes = {LAUNCH_NOTHING, LAUNCH_MINIMIZE, LAUNCH_QUIT};

void showCode(std::array<platform::forms::OptionButton, 3>& options,
              const std::array<std::int16_t, 3>& codes, std::int16_t value) {
    for (std::size_t i = 0; i < options.size(); ++i) {
        options[i].setValue(value == codes[i]);
    }
}

// The code of the selected option; the field keeps its value when none is.
void storeCode(const std::array<platform::forms::OptionButton, 3>& options,
               const std::array<std::int16_t, 3>& codes, std::int16_t& field) {
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i].value()) {
            field = codes[i];
        }
    }
}

} // namespace

frmPreferences::frmPreferences(Settings& settings, const platform::forms::Form& mainWindow)
    : form("Preferences", 6510, 3615 + kMoreStrip, platform::forms::FormStyle::Dialog),
      fraAlternates(form, 0, 0, 6405, 2445, "Alternates"),
      // The rows of the Alternates frame are the locations, in their order.
      lblAlternate{{{fraAlternates, 90, 270, 960, 240, kLocations[0].label},
                    {fraAlternates, 90, 585, 960, 240, kLocations[1].label},
                    {fraAlternates, 90, 990, 1095, 240, kLocations[2].label},
                    {fraAlternates, 90, 1305, 1095, 240, kLocations[3].label},
                    {fraAlternates, 90, 1755, 1095, 240, kLocations[4].label},
                    {fraAlternates, 90, 2025, 1095, 240, kLocations[5].label}}},
      txtAlternate{{{fraAlternates, 1260, 225, 4290, 285},
                    {fraAlternates, 1260, 540, 4290, 285},
                    {fraAlternates, 1260, 945, 4290, 285},
                    {fraAlternates, 1260, 1320, 4290, 285},
                    {fraAlternates, 1260, 1710, 4290, 285},
                    {fraAlternates, 1260, 2025, 4290, 285}}},
      chkAlternate{{{fraAlternates, 5715, 270, 600, 195, "Use"},
                    {fraAlternates, 5715, 585, 600, 195, "Use"},
                    {fraAlternates, 5715, 990, 600, 195, "Use"},
                    {fraAlternates, 5715, 1305, 600, 195, "Use"},
                    {form, 5715, 1755, 600, 195, "Use"},
                    {form, 5715, 2070, 600, 195, "Use"}}},
      frmSearch(form, 120, 2520, 1500, 915, "Search..."),
      optSearch{{{frmSearch, 120, 240, 1275, 195, "...by Name"},
                 {frmSearch, 90, 450, 1095, 195, "...by URL"},
                 {frmSearch, 90, 675, 1050, 195, "...both"}}},
      frmSort(form, 1620, 2520, 1545, 915, "Sort..."),
      optSort{{{frmSort, 135, 225, 1320, 195, "...by Name"},
               {frmSort, 135, 450, 1320, 195, "...by URL"},
               {frmSort, 120, 720, 1320, 135, "...as Search"}}},
      frmLaunch(form, 3240, 2520, 1545, 915, "When launched..."),
      optLaunch{{{frmLaunch, 90, 225, 1320, 195, "...do nothing"},
                 {frmLaunch, 90, 450, 1320, 195, "...minimize"},
                 {frmLaunch, 90, 675, 1320, 195, "...quit ZTV"}}},
      chkMinimize(form, 4920, 2520, 1455, 210, "Minimize to tray"),
      ChkSingle(form, 4920, 2760, 1455, 210, "Single Click"),
      chkDups(form, 4920, 3000, 1335, 195, "Remove dups"), cmdOK(form, 4860, 3240, 735, 345, "OK"),
      cmdCancel(form, 5760, 3240, 690, 345, "Cancel"),
      cmdMore(form, 120, 3615 + 60, 1500, 345, "&More\xE2\x80\xA6"), settings_(settings),
      mainWindow_(mainWindow) {
    // The MSIE Main box only shows the folder found at start-up.
    txtAlternate[0].setReadOnly(true);
    form.setCancelButton(cmdCancel);
    form.setDefaultButton(cmdOK);
    form.setTabOrder({&optSearch[0],    &optSearch[1],    &optSearch[2],    &optSort[0],
                      &optSort[1],      &optSort[2],      &optLaunch[0],    &optLaunch[1],
                      &optLaunch[2],    &chkMinimize,     &cmdOK,           &cmdCancel,
                      &txtAlternate[0], &chkAlternate[0], &txtAlternate[1], &chkAlternate[1],
                      &txtAlternate[2], &chkAlternate[2], &txtAlternate[3], &chkAlternate[3],
                      &txtAlternate[4], &chkAlternate[4], &txtAlternate[5], &chkAlternate[5],
                      &chkDups,         &ChkSingle,       &cmdMore});
    form.onActivate = [this] { Form_Activate(); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    cmdMore.onClick = [this] { cmdMore_Click(); };
}

void frmPreferences::Form_Activate() {
    form.setIconFrom(mainWindow_);
    cmdOK.setFocus();
    showCode(optSearch, kSearchCodes, settings_.Function);
    showCode(optSort, kSortCodes, settings_.Sort);
    showCode(optLaunch, kLaunchCodes, settings_.Launch);
    chkMinimize.setValue(settings_.Tray != TRAY_OFF);
    ChkSingle.setValue(settings_.Single != CLICK_DOUBLE);
    chkDups.setValue(settings_.Duplicates != DUPS_KEEP);
    for (std::size_t row = 0; row < kLocations.size(); ++row) {
        txtAlternate[row].setText(settings_.*kLocations[row].path);
        chkAlternate[row].setValue(settings_.*kLocations[row].doField == DO_YES);
    }
}

void frmPreferences::cmdOK_Click() {
    storeCode(optSearch, kSearchCodes, settings_.Function);
    storeCode(optSort, kSortCodes, settings_.Sort);
    storeCode(optLaunch, kLaunchCodes, settings_.Launch);
    settings_.Tray = chkMinimize.value() ? TRAY_ON : TRAY_OFF;
    settings_.Single = ChkSingle.value() ? CLICK_SINGLE : CLICK_DOUBLE;
    settings_.Duplicates = chkDups.value() ? DUPS_REMOVE : DUPS_KEEP;
    // The folder gets its final "\" so that entry names can follow it.
    settings_.MSIEAlt = txtAlternate[1].text();
    if (!settings_.MSIEAlt.ends_with('\\')) {
        settings_.MSIEAlt += '\\';
    }
    // Row 0 only shows MSIEMain; the file paths are kept exactly as typed.
    for (std::size_t row = 2; row < kLocations.size(); ++row) {
        settings_.*kLocations[row].path = txtAlternate[row].text();
    }
    for (std::size_t row = 0; row < kLocations.size(); ++row) {
        settings_.*kLocations[row].doField = chkAlternate[row].value() ? DO_YES : DO_NO;
    }
    form.unload();
}

void frmPreferences::cmdCancel_Click() {
    form.unload();
}

// A fresh dialog for every showing, as for this one. What its OK stores is in
// Settings at once, whatever this dialog ends with.
void frmPreferences::cmdMore_Click() {
    More = std::make_unique<frmMore>(settings_, form);
    More->showModal();
    More.reset();
}

} // namespace zaptrove
