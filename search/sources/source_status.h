// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/browser_profile.h"
#include "search/sources/locations.h"

#include <string>

// How many bookmarks a source holds, or why they cannot be read, as the source
// listings show it: "12 bookmarks", "cannot be read: Is a directory".
namespace zaptrove {

// One of the six locations; "cannot be read: No path given" when it names none.
std::string fnLocationStatus(const Location& pLocation, const Settings& pSettings);

// A browser profile.
std::string fnBrowserSourceStatus(const BrowserProfile& pProfile);

} // namespace zaptrove
