// SPDX-License-Identifier: MIT
#include "search/discovery/location_discovery.h"

#include "platform/separators.h"
#include "search/discovery/discovery_read_limit.h"
#include "search/discovery/text_file.h"
#include "settings/registry_values.h"

namespace zaptrove {

namespace {

constexpr std::string_view kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kNetscapeUsers = "Software\\Netscape\\Netscape Navigator\\Users";
constexpr std::string_view kBookmarkKey = "browser.bookmark_location";

// A whole text value of a key, whatever its length; false when it is missing.
bool readTextValue(platform::Registry& registry, platform::RegistryRoot root, std::string_view path,
                   std::string_view name, std::string& value) {
    const platform::KeyHandle key = registry.openKey(root, path);
    const bool found = fnReadValue(registry, key, name, value) == 0;
    registry.closeKey(key);
    return found;
}

} // namespace

std::string fnStripEscapes(std::string_view pText, std::string_view pEscape) {
    std::string result;
    result.reserve(pText.size());
    std::size_t position = 0;
    while (position < pText.size()) {
        result += pText[position];
        ++position;
        if (!pEscape.empty() && pText.substr(position).starts_with(pEscape)) {
            position += pEscape.size();
        }
    }
    return result;
}

std::string fnFindFavoritesFolder(platform::Registry& pRegistry) {
    std::string folder;
    if (!readTextValue(pRegistry, platform::RegistryRoot::CurrentUser, kShellFolders, "Favorites",
                       folder)) {
        return NOT_FOUND;
    }
    return folder + "\\";
}

std::string fnBookmarkFileFromPrefs(std::string_view pProfileFolder, std::string_view pPrefs) {
    const std::size_t key = pPrefs.find(kBookmarkKey);
    if (key == std::string_view::npos) {
        return std::string(pProfileFolder) + "bookmark.htm";
    }
    // The key, a quote, a comma, one blank and the opening quote come before the value.
    const std::size_t start = key + kBookmarkKey.size() + 4;
    const std::size_t end =
        start <= pPrefs.size() ? pPrefs.find(");", start) : std::string_view::npos;
    if (end == std::string_view::npos || end == start) {
        return NOT_FOUND;
    }
    // The value stops before the closing quote that precedes ");".
    return fnStripEscapes(pPrefs.substr(start, end - 1 - start), "\\");
}

std::string fnFindNetscapeFile(platform::Registry& pRegistry) {
    std::string profile;
    std::string folder;
    if (!readTextValue(pRegistry, platform::RegistryRoot::LocalMachine, kNetscapeUsers,
                       "CurrentUser", profile) ||
        !readTextValue(pRegistry, platform::RegistryRoot::LocalMachine,
                       std::string(kNetscapeUsers) + "\\" + profile, "DirRoot", folder)) {
        return NOT_FOUND;
    }
    folder = platform::folderPath(folder);
    std::string prefs;
    if (!platform::fnOpenFile(folder + "prefs.js", prefs, kDiscoveryReadLimit)) {
        return NOT_FOUND;
    }
    return fnBookmarkFileFromPrefs(folder, prefs);
}

void subDiscoverLocations(platform::Registry& pRegistry, Settings& pSettings) {
    pSettings.MSIEMain = pSettings.MSIEMainFound = fnFindFavoritesFolder(pRegistry);
    pSettings.NetscapeMain = pSettings.NetscapeMainFound = fnFindNetscapeFile(pRegistry);
}

} // namespace zaptrove
