// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/browser_profile.h"

#include <string>
#include <vector>

// Finding every profile of every browser installed for the current user.
namespace zaptrove {

// The current user's folders the browsers live under, and whose conventions
// apply. Tests pass fake homes of each kind.
struct UserFolders {
    enum class Layout { Linux, Windows, MacOS };
    Layout layout = Layout::Linux;
    std::string home;         // $HOME; %USERPROFILE% on Windows
    std::string configHome;   // $XDG_CONFIG_HOME, else home/.config (Linux)
    std::string appData;      // %APPDATA% (Windows)
    std::string localAppData; // %LOCALAPPDATA% (Windows)
};

// The running system's folders, from its environment.
UserFolders fnCurrentUserFolders();

// Every profile found, in reading order: the Firefox profiles, then Chrome,
// Chromium, Edge, Brave, Vivaldi and Opera; within a browser its installations
// in a fixed order and their profiles by folder name. A profile whose bookmarks
// cannot be read is listed with the reason. Nothing is written anywhere.
std::vector<BrowserProfile> fnDiscoverBrowserProfiles(const UserFolders& pFolders);

// The profile a hand-given path names: a Firefox profile folder or its
// places.sqlite, a Chromium-family profile folder or its Bookmarks file. A
// Chromium-family folder holding the signed-in account's bookmarks file gives
// that file too, as a second source.
std::vector<BrowserProfile> fnProfilesAtPath(Browser pBrowser, const std::string& pPath);

} // namespace zaptrove
