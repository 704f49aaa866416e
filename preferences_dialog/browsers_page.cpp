// SPDX-License-Identifier: MIT
#include "preferences_dialog/browsers_page.h"

#include "platform/files.h"
#include "search/discovery/browser_sources.h"
#include "search/sources/source_status.h"
#include "settings/name_lists.h"

#include <algorithm>

namespace zaptrove {

namespace forms = platform::forms;

namespace {

constexpr std::array<std::string Settings::*, 2> kAltLocations = {&Settings::FirefoxAlt,
                                                                  &Settings::ChromiumAlt};
constexpr std::array<std::int16_t Settings::*, 2> kAltSwitches = {&Settings::DoFirefoxEx,
                                                                  &Settings::DoChromiumEx};

// Why a hand-added location, a folder or a file, cannot be read; empty when it
// can, or when none is given.
std::string problemOf(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    if (platform::folderIdentity(path)) {
        return platform::OpenFolder(path).problem();
    }
    return platform::FileReader(path).problem();
}

// Browsers in two rows of four.
forms::CheckBox browserBox(forms::Frame& frame, std::size_t index) {
    return {frame,
            120 + static_cast<float>(index % 4) * 1740,
            2550 + static_cast<float>(index / 4) * 300,
            1620,
            255,
            fnBrowserName(kBrowsers[index])};
}

} // namespace

BrowsersPage::BrowsersPage(forms::Form& pDialog)
    : fraBrowsers(pDialog, kLeft, kTop, kWidth, kHeight, "Browsers"),
      lblProfiles(fraBrowsers, 120, 270, 6900, 240, "Profiles found:"),
      lstProfiles(fraBrowsers, 120, 510, 6900, 1380),
      chkProfile(fraBrowsers, 120, 1950, 6900, 255, "Read the chosen profile's bookmarks"),
      lblRead(fraBrowsers, 120, 2295, 6900, 240, "Read the bookmarks of:"),
      chkBrowser{{browserBox(fraBrowsers, 0), browserBox(fraBrowsers, 1),
                  browserBox(fraBrowsers, 2), browserBox(fraBrowsers, 3),
                  browserBox(fraBrowsers, 4), browserBox(fraBrowsers, 5),
                  browserBox(fraBrowsers, 6)}},
      lblBrowserAlt{{{fraBrowsers, 120, 3300, 2100, 240, "Firefox profile"},
                     {fraBrowsers, 120, 3690, 2100, 240, "Chromium Bookmarks"}}},
      txtBrowserAlt{{{fraBrowsers, 2280, 3255, 2760, 285}, {fraBrowsers, 2280, 3645, 2760, 285}}},
      lblBrowserAltProblem{
          {{fraBrowsers, 5070, 3300, 300, 240, "(!)"}, {fraBrowsers, 5070, 3690, 300, 240, "(!)"}}},
      cmdBrowse{{{fraBrowsers, 5400, 3255, 900, 285, "Browse…"},
                 {fraBrowsers, 5400, 3645, 900, 285, "Browse…"}}},
      chkBrowserAlt{
          {{fraBrowsers, 6360, 3300, 660, 240, "Use"}, {fraBrowsers, 6360, 3690, 660, 240, "Use"}}},
      dialog_(pDialog) {
    lstProfiles.onClick = [this] { lstProfiles_Click(); };
    for (std::size_t row = 0; row < cmdBrowse.size(); ++row) {
        cmdBrowse[row].onClick = [this, row] { cmdBrowse_Click(row); };
        txtBrowserAlt[row].onChange = [this, row] { txtBrowserAlt_Change(row); };
    }
    txtBrowserAlt[0].setToolTip("A Firefox profile folder, or its places.sqlite");
    txtBrowserAlt[1].setToolTip("A Chromium-family Bookmarks file, or its profile folder");
}

// One row per source: browser, profile, and its bookmark count or why it
// cannot be read; the path shows in the tooltip of the chosen row.
void BrowsersPage::load(const Settings& pSettings) {
    std::vector<std::string> rows;
    folders_.clear();
    found_.clear();
    profilesOff_ = fnSplitNames(pSettings.ProfilesOff, kProfilesOffSeparator);
    chosen_ = -1;
    chkProfile.setVisible(false);
    for (const BrowserSource& source : fnBrowserSources(pSettings)) {
        const BrowserProfile& profile = source.profile;
        rows.push_back(profile.install + "  " + profile.name +
                       (profile.isDefault ? " (default)" : "") + "  -  " +
                       fnBrowserSourceStatus(profile) + "  -  " + profile.folder);
        folders_.push_back(profile.folder);
        found_.push_back(!profile.namedByUser);
    }
    if (rows.empty()) {
        rows.emplace_back("No browser profile found");
    }
    lstProfiles.setItems(rows);
    for (std::size_t i = 0; i < chkBrowser.size(); ++i) {
        chkBrowser[i].setValue(pSettings.*fnBrowserSwitch(kBrowsers[i]) == DO_YES);
    }
    for (std::size_t row = 0; row < kAltLocations.size(); ++row) {
        txtBrowserAlt[row].setText(pSettings.*kAltLocations[row]);
        txtBrowserAlt_Change(row);
        chkBrowserAlt[row].setValue(pSettings.*kAltSwitches[row] == DO_YES);
    }
}

void BrowsersPage::store(Settings& pSettings) const {
    pSettings.ProfilesOff = fnJoinNames(profilesOff(), kProfilesOffSeparator);
    for (std::size_t i = 0; i < chkBrowser.size(); ++i) {
        pSettings.*fnBrowserSwitch(kBrowsers[i]) = chkBrowser[i].value() ? DO_YES : DO_NO;
    }
    for (std::size_t row = 0; row < kAltLocations.size(); ++row) {
        pSettings.*kAltLocations[row] = txtBrowserAlt[row].text();
        pSettings.*kAltSwitches[row] = chkBrowserAlt[row].value() ? DO_YES : DO_NO;
    }
}

// Firefox's location is a profile folder, the Chromium family's a Bookmarks file.
void BrowsersPage::cmdBrowse_Click(std::size_t pRow) {
    const bool folder = pRow == 0;
    const std::optional<std::string> chosen =
        choosePath(dialog_, folder ? "Firefox profile folder" : "Chromium-family Bookmarks file",
                   txtBrowserAlt[pRow].text(), folder);
    if (chosen) {
        txtBrowserAlt[pRow].setText(*chosen);
        txtBrowserAlt_Change(pRow);
    }
}

void BrowsersPage::txtBrowserAlt_Change(std::size_t pRow) {
    const std::string problem = problemOf(txtBrowserAlt[pRow].text());
    lblBrowserAltProblem[pRow].setVisible(!problem.empty());
    lblBrowserAltProblem[pRow].setToolTip(problem);
}

void BrowsersPage::lstProfiles_Click() {
    profilesOff_ = profilesOff();
    const int row = lstProfiles.listIndex();
    const bool profile = row >= 0 && static_cast<std::size_t>(row) < folders_.size();
    if (profile) {
        lstProfiles.setToolTip(folders_[row]);
    }
    chosen_ = profile && found_[row] ? row : -1;
    chkProfile.setVisible(chosen_ >= 0);
    if (chosen_ >= 0) {
        chkProfile.setValue(std::ranges::find(profilesOff_, folders_[row]) == profilesOff_.end());
    }
}

std::vector<std::string> BrowsersPage::profilesOff() const {
    std::vector<std::string> off = profilesOff_;
    if (chosen_ >= 0) {
        const std::string& folder = folders_[chosen_];
        std::erase(off, folder);
        if (!chkProfile.value()) {
            off.push_back(folder);
        }
    }
    return off;
}

} // namespace zaptrove
