// SPDX-License-Identifier: MIT
#include "search/discovery/browser_sources.h"

#include "search/discovery/browser_discovery.h"
#include "settings/name_lists.h"

#include <algorithm>

namespace zaptrove {

namespace {

void addHandAdded(Browser browser, std::int16_t doField, const std::string& path,
                  std::vector<BrowserSource>& sources) {
    if (path.empty()) {
        return;
    }
    for (BrowserProfile& profile : fnProfilesAtPath(browser, path)) {
        sources.push_back({std::move(profile), doField == DO_YES});
    }
}

} // namespace

std::int16_t Settings::*fnBrowserSwitch(Browser pBrowser) {
    return kBrowserSwitches[static_cast<std::size_t>(pBrowser)];
}

std::vector<BrowserSource> fnBrowserSources(const Settings& pSettings) {
    std::vector<BrowserSource> sources;
    const std::vector<std::string> profilesOff =
        fnSplitNames(pSettings.ProfilesOff, kProfilesOffSeparator);
    bool firefoxAdded = false;
    const auto addFirefox = [&] {
        addHandAdded(Browser::Firefox, pSettings.DoFirefoxEx, pSettings.FirefoxAlt, sources);
        firefoxAdded = true;
    };
    for (const BrowserProfile& profile : pSettings.BrowserProfiles) {
        if (!firefoxAdded && !fnUsesPlaces(profile.browser)) {
            addFirefox();
        }
        sources.push_back(
            {profile, pSettings.*fnBrowserSwitch(profile.browser) == DO_YES &&
                          std::ranges::find(profilesOff, profile.folder) == profilesOff.end()});
    }
    if (!firefoxAdded) {
        addFirefox();
    }
    addHandAdded(Browser::Chromium, pSettings.DoChromiumEx, pSettings.ChromiumAlt, sources);
    return sources;
}

} // namespace zaptrove
