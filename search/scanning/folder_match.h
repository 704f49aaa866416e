// SPDX-License-Identifier: MIT
#pragma once

#include "search/matching/matcher.h"
#include "search/records/folder_path.h"

#include <string>
#include <string_view>

namespace zaptrove {

// The match of a reader that follows the folders as it goes, so that with
// folder names searched it keeps only the bookmarks that match with their
// folder path, instead of every one for a later screen. The path's text is
// made once per folder.
class FolderMatch {
  public:
    // Whether the bookmark matches; folderOf() answers its FolderPath and is
    // called only while folder names are searched.
    template <typename FolderOf>
    bool matches(const Matcher& pMatcher, std::string_view pName, std::string_view pUrl,
                 FolderOf folderOf, MatchScratch& pScratch) {
        if (!pMatcher.searchesFolders()) {
            return pMatcher.matches(pName, pUrl, pScratch);
        }
        if (FolderPath folder = folderOf(); folder.innermost() != folder_.innermost()) {
            folder_ = std::move(folder);
            text_ = folder_.text();
        }
        return pMatcher.matchesWithFolders(pName, pUrl, text_, pScratch);
    }

  private:
    // Held, so that no other folder's node comes to have its address.
    FolderPath folder_;
    std::string text_;
};

} // namespace zaptrove
