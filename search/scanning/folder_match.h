// SPDX-License-Identifier: MIT
#pragma once

#include "search/matching/matcher.h"
#include "search/records/folder_path.h"

#include <string_view>
#include <vector>

namespace zaptrove {

// The match of a reader that follows the folders as it goes, so that with
// folder names searched it keeps only the bookmarks that match with their
// folder path, instead of every one for a later screen. Which words the
// path holds is worked out once per folder; a bookmark inside is searched
// only for the others.
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
        return pMatcher.matchesWithFolders(pName, pUrl, wordsIn(pMatcher, folderOf(), pScratch),
                                           pScratch);
    }
    // The folder bound of subScanBlocksThatCanMatch at the block start pFrom,
    // from pFolders (which follow the folders through pText): pFrom while the
    // folders around it hold the word the readers skip by, else the next place
    // where they may change; npos while folder names are not searched.
    template <typename Folders>
    std::size_t bound(const Matcher& pMatcher, Folders& pFolders, std::string_view pText,
                      std::size_t pFrom, MatchScratch& pScratch) {
        if (!pMatcher.searchesFolders()) {
            return std::string_view::npos;
        }
        pFolders.advance(pText, pFrom);
        return wordsIn(pMatcher, pFolders.path(), pScratch).front() ? pFrom
                                                                    : pFolders.nextChange(pText);
    }

  private:
    const std::vector<bool>& wordsIn(const Matcher& matcher, FolderPath folder,
                                     MatchScratch& scratch) {
        if (folderWords_.empty() || folder.innermost() != folder_.innermost()) {
            folder_ = std::move(folder);
            matcher.wordsIn(folder_.text(), folderWords_, scratch);
        }
        return folderWords_;
    }

    // Held, so that no other folder's node comes to have its address.
    FolderPath folder_;
    std::vector<bool> folderWords_; // by the matcher's words; empty until asked
};

} // namespace zaptrove
