// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/browser_profile.h"
#include "support/temp_folder.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zaptrove::test {

// A Chromium Bookmarks file holding the (name, address) bookmarks, in order, among the others.
inline std::string
chromiumBookmarks(const std::vector<std::pair<std::string_view, std::string_view>>& bookmarks) {
    std::string file = R"({"roots": {"other": {"type": "folder", "children": [)";
    for (const auto& [name, url] : bookmarks)
        file += std::string(file.ends_with('[') ? "" : ",") + R"({"type": "url", "name": ")" +
                std::string(name) + R"(", "url": ")" + std::string(url) + "\"}";
    return file + "]}}}";
}
inline std::string chromiumBookmarks(std::string_view name, std::string_view url) {
    return chromiumBookmarks({{name, url}});
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
