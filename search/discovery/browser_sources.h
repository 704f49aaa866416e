// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settings.h"

#include <array>
#include <vector>

// The browser profiles a search reads, from the settings.
namespace zaptrove {

struct BrowserSource {
    BrowserProfile profile;
    bool switchedOn = false;
};

// Every browser source, switched on or not, in reading order: the Firefox
// profiles found, the hand-added Firefox profile, the Chromium-family profiles
// found, the hand-added Chromium-family file (and, for a hand-added folder, its
// account bookmarks file). An empty hand-added location is no source. A
// profile found is switched on with its browser unless ProfilesOff names its
// folder.
std::vector<BrowserSource> fnBrowserSources(const Settings& pSettings);

// The browser switches: the seven browsers', in the order of kBrowsers, then
// the two hand-added locations'.
inline constexpr std::array<std::int16_t Settings::*, kBrowsers.size() + 2> kBrowserSwitches = {
    &Settings::DoFirefox,    &Settings::DoChrome,    &Settings::DoChromium,
    &Settings::DoEdge,       &Settings::DoBrave,     &Settings::DoVivaldi,
    &Settings::DoOperaBlink, &Settings::DoFirefoxEx, &Settings::DoChromiumEx};

} // namespace zaptrove
