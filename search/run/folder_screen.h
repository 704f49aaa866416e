// SPDX-License-Identifier: MIT
#pragma once

#include "search/matching/matcher.h"
#include "search/records/bookmark.h"
#include "search/request/search_request.h"
#include "search/scanning/folder_match.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zaptrove {

// What the folders a bookmark lies in decide of it. With folder words on, a
// search by name or by both finds the words in the folder names too: the
// readers keep the bookmarks that match with their folder path (the Chromium
// reader learns the names in a first pass, the Firefox reader reads the
// folders first), and the screen matches each against its name, address and
// folder path. A bookmark inside a folder left
// out (at any depth, the name compared whole, letter case ignored) is dropped.
// With neither asked for, the readers use the request's matcher and the
// screen does nothing.
class FolderScreen {
  public:
    explicit FolderScreen(const SearchRequest& pRequest);

    // The matcher the readers apply.
    const Matcher& readersMatcher() const { return matcher_; }
    // Whether the screen may drop a record.
    bool screens() const { return matcher_.searchesFolders() || !leaveOut_.empty(); }
    // Drops the records from pFirst on that the folders rule out, keeping the
    // order of the others.
    void screen(std::vector<Bookmark>& pRecords, std::size_t pFirst) const;

  private:
    // What one screening reuses from one record to the next: the records of a
    // folder, and of the folders inside it, share its node, so each folder's
    // verdict is worked out once.
    struct Scratch {
        MatchScratch match;
        std::string lowered;
        std::string tagged; // a name with its tags
        std::unordered_map<const FolderNode*, bool> leftOut;
        FolderMatch inFolder;
    };
    bool keeps(const Bookmark& record, Scratch& scratch) const;
    bool leftOut(const FolderNode* folder, bool favorite, Scratch& scratch) const;
    bool namesLeftOut(std::string_view names, bool favorite, Scratch& scratch) const;

    Matcher matcher_;
    std::vector<std::string> leaveOut_; // lower-cased
};

} // namespace zaptrove
