// SPDX-License-Identifier: MIT
#pragma once

#include "registry/registry.h"
#include "settings/settings.h"

#include <string>
#include <string_view>

// Finding where the browsers keep the current user's bookmarks.
namespace zaptrove {

// Copies pText, dropping the character after each copied one when it is the
// escape character: a doubled "\" becomes one; the first character is kept.
std::string fnStripEscapes(std::string_view pText, std::string_view pEscape);

// The Favorites folder from the Shell Folders key, ending in "\"; "<not found>"
// when the key has no such value.
std::string fnFindFavoritesFolder(platform::Registry& pRegistry);

// The Netscape bookmark file of the current profile: the location "prefs.js"
// names, else "bookmark.htm" in the profile folder; "<not found>" when the
// profile or its "prefs.js" cannot be found or read.
std::string fnFindNetscapeFile(platform::Registry& pRegistry);

// The bookmark file a "prefs.js" text names, for a profile folder ending in "\".
std::string fnBookmarkFileFromPrefs(std::string_view pProfileFolder, std::string_view pPrefs);

// Both discoveries, into MSIEMain and NetscapeMain.
void subDiscoverLocations(platform::Registry& pRegistry, Settings& pSettings);

} // namespace zaptrove
