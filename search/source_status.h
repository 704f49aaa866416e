// SPDX-License-Identifier: MIT
#pragma once

#include "search/bookmark.h"
#include "settings/browser_profile.h"

#include <string>
#include <string_view>
#include <vector>

// How many bookmarks a source holds, or why they cannot be read, as the source
// listings show it: "12 bookmarks", "cannot be read: not found".
namespace zaptrove {

class DebugLog;
class Matcher;

using LocationReader = void (*)(std::string_view, Matcher&, std::vector<Bookmark>&,
                                const DebugLog&);

// One of the six locations, a Favorites folder or a bookmark file, by its reader.
std::string fnLocationStatus(LocationReader pReader, const std::string& pPath, bool pIsFolder);

// A browser profile.
std::string fnBrowserSourceStatus(const BrowserProfile& pProfile);

} // namespace zaptrove
