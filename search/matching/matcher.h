// SPDX-License-Identifier: MIT
#pragma once

#include "search/matching/match_prefilter.h"
#include "search/matching/search_mode.h"

#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

// How the typed text is compared, beyond letter case.
struct MatchRules {
    // The text is split at blanks and every word must be found, in any order.
    bool anyWordOrder = false;
    // Accents are dropped on both sides ("cafe" finds "Café").
    bool ignoreAccents = false;
    // A search by name or by both finds the words in the bookmark's folder
    // names too (matchesWithFolders).
    bool folderWords = false;
    // The readers follow the folders each bookmark lies in, for its Folder.
    // Off when no one shows or screens by them, which spares the readers of
    // bookmark files a pass over every byte.
    bool followFolders = true;
};

// Memory one thread lends a Matcher for the texts outside ASCII it lower-cases,
// reused from one text to the next so that matching allocates nothing.
struct MatchScratch {
    std::string lowered;
};

// The matching rule every reader applies: the lower-cased search term must occur
// in the lower-cased name, address, or either, by the mode. It never changes
// once made, so threads share it, each with its own MatchScratch.
class Matcher {
  public:
    // The term is lower-cased here; it is not trimmed.
    Matcher(std::string_view pSearchTerm, SearchMode pMode, MatchRules pRules = {});

    SearchMode mode() const { return mode_; }
    // Where the longest word, which every match holds somewhere in its name or
    // address, could occur: readers skip the stretches of a file without it.
    // With folder names searched, the word may be in a folder's name instead
    // (see subScanBlocksThatCanMatch).
    const MatchPrefilter& prefilter() const { return words_.front(); }
    // True when the mode looks at addresses, so readers must cut them.
    bool usesUrl() const;
    // True when the readers must give each bookmark its folder path.
    bool followsFolders() const { return followFolders_; }
    // True when a search by name or by both finds the words in folder names
    // too: then nameMatches and matches keep every bookmark, as its folders
    // may hold the words, and a reader that knows the folder path asks
    // matchesWithFolders.
    bool searchesFolders() const { return searchesFolders_; }

    bool nameMatches(std::string_view pName, MatchScratch& pScratch) const;
    // The rule for the mode; SearchMode::Nothing never matches.
    bool matches(std::string_view pName, std::string_view pUrl, MatchScratch& pScratch) const;
    // Which words a folder path's text holds, by the words' order, into pHeld.
    void wordsIn(std::string_view pFolders, std::vector<bool>& pHeld, MatchScratch& pScratch) const;
    // The rule for a search by name or by both with folder names searched:
    // each word held by the folders (pFolderWords, from wordsIn) or found in
    // the name or, by the mode, the address.
    bool matchesWithFolders(std::string_view pName, std::string_view pUrl,
                            const std::vector<bool>& pFolderWords, MatchScratch& pScratch) const;

  private:
    template <typename Found> bool everyWord(Found found) const;

    // The term, or its words with the longest first; never empty.
    std::vector<MatchPrefilter> words_;
    SearchMode mode_;
    bool followFolders_;
    bool searchesFolders_;
};

} // namespace zaptrove
