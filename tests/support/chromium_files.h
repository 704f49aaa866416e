// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/browser_profile.h"
#include "support/temp_folder.h"

#include <string>
#include <string_view>

namespace zaptrove::test {

// A Chromium Bookmarks file holding one bookmark among the other bookmarks.
inline std::string chromiumBookmarks(std::string_view name, std::string_view url) {
    return R"({"roots": {"other": {"type": "folder", "children": [{"type": "url", "name": ")" +
           std::string(name) + R"(", "url": ")" + std::string(url) + "\"}]}}}";
}

// A profile in folder below tmp, named after its folder, whose Bookmarks file holds one bookmark.
inline BrowserProfile chromiumProfile(const TempFolder& tmp, Browser browser,
                                      const std::string& folder, std::string_view name,
                                      std::string_view url) {
    BrowserProfile profile;
    profile.browser = browser;
    profile.install = std::string(fnBrowserName(browser));
    profile.name = folder;
    profile.folder = tmp / folder;
    profile.bookmarksFile = tmp.write(folder + "/Bookmarks", chromiumBookmarks(name, url));
    return profile;
}

} // namespace zaptrove::test
