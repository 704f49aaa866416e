// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/browser_profile.h"
#include "support/temp_folder.h"

#include <cstdint>
#include <optional>
#include <string>

struct sqlite3;

namespace zaptrove::test {

// A places.sqlite with the tables and columns of Firefox's that bookmarks live
// in, its five roots and the tags root, in write-ahead-log mode as the browser
// keeps it.
class PlacesDatabase {
  public:
    explicit PlacesDatabase(const std::string& path);
    ~PlacesDatabase();
    PlacesDatabase(const PlacesDatabase&) = delete;
    PlacesDatabase& operator=(const PlacesDatabase&) = delete;

    // Root folders' ids, as Firefox numbers them.
    static constexpr std::int64_t kMenu = 2, kToolbar = 3, kTags = 4, kUnfiled = 5;

    // Adds an entry at the end of its folder and answers its id. A bookmark
    // (type 1) gets a moz_places row for url with pageTitle.
    std::int64_t add(std::int64_t parent, int type, std::optional<std::string> title,
                     std::optional<std::string> url = {},
                     std::optional<std::string> pageTitle = {});
    std::int64_t folder(std::int64_t parent, const std::string& title) {
        return add(parent, 2, title);
    }
    // Gives the place of a bookmark (an id add answered) a keyword.
    void keyword(std::int64_t bookmark, const std::string& keyword,
                 std::optional<std::string> postData = {}) {
        exec("INSERT INTO moz_keywords (keyword, place_id, post_data) VALUES ('" + keyword +
             "', (SELECT fk FROM moz_bookmarks WHERE id = " + std::to_string(bookmark) + "), " +
             (postData ? "'" + *postData + "'" : "NULL") + ")");
    }
    void exec(const std::string& sql);

  private:
    sqlite3* database_ = nullptr;
};

// A Firefox profile "default" in a new folder of tmp, whose places.sqlite the caller makes.
inline BrowserProfile firefoxProfile(const TempFolder& tmp, const std::string& folder) {
    BrowserProfile profile;
    profile.install = "Firefox", profile.name = "default", profile.folder = tmp.makeFolder(folder);
    profile.bookmarksFile = profile.folder + "/places.sqlite";
    return profile;
}

// A second process holding a database as a browser does (places_holder): an
// exclusive lock, and changes in its write-ahead log (pSql, else a bookmark
// "Held in the log"); it lets go when this goes, which waits for that.
class HeldDatabase {
  public:
    HeldDatabase(const std::string& pDatabase, const std::string& pSql = {});
    ~HeldDatabase();
    HeldDatabase(const HeldDatabase&) = delete;
    HeldDatabase& operator=(const HeldDatabase&) = delete;

    // True once the holder holds the database.
    bool held() const;

  private:
    std::string ready_, stop_;
};

} // namespace zaptrove::test
