// SPDX-License-Identifier: MIT
#include "search/matching/matcher.h"

#include "text/text.h"

#include <algorithm>
#include <unordered_set>

namespace zaptrove {

namespace {

// The words of term between blanks, each once; the term itself when it holds
// nothing else.
std::vector<std::string> wordsOf(const std::string& term) {
    std::vector<std::string> words;
    std::unordered_set<std::string_view> seen;
    constexpr std::string_view kBlanks = " \t";
    for (std::size_t start = term.find_first_not_of(kBlanks); start != std::string::npos;) {
        const std::size_t end = term.find_first_of(kBlanks, start);
        if (seen.insert(std::string_view(term).substr(start, end - start)).second) {
            words.push_back(term.substr(start, end - start));
        }
        start = term.find_first_not_of(kBlanks, end);
    }
    if (words.empty()) {
        words.push_back(term);
    }
    // The longest word rules out the most text, so the readers skip by it and
    // it is tried first.
    std::stable_sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
        return a.size() > b.size();
    });
    return words;
}

} // namespace

Matcher::Matcher(std::string_view pSearchTerm, SearchMode pMode, MatchRules pRules)
    : mode_(pMode), followFolders_(pRules.followFolders),
      searchesFolders_(pRules.folderWords &&
                       (pMode == SearchMode::Name || pMode == SearchMode::Both)) {
    std::string term = platform::lowerCase(pSearchTerm);
    if (pRules.ignoreAccents) {
        term = platform::foldAccents(term);
    }
    std::vector<std::string> words;
    if (pRules.anyWordOrder) {
        words = wordsOf(term);
    } else {
        words.push_back(std::move(term));
    }
    for (std::string& word : words) {
        words_.emplace_back(std::move(word), pRules.ignoreAccents);
    }
}

bool Matcher::usesUrl() const {
    return mode_ == SearchMode::Url || mode_ == SearchMode::Both;
}

// A plain loop: most searches have one word, which std::all_of's unrolled
// loop takes longer to reach.
template <typename Found> bool Matcher::everyWord(Found found) const {
    for (const MatchPrefilter& word : words_) {
        if (!found(word)) {
            return false;
        }
    }
    return true;
}

bool Matcher::nameMatches(std::string_view pName, MatchScratch& pScratch) const {
    return searchesFolders_ || everyWord([&](const MatchPrefilter& word) {
               return word.occursIn(pName, pScratch.lowered);
           });
}

bool Matcher::matches(std::string_view pName, std::string_view pUrl, MatchScratch& pScratch) const {
    if (searchesFolders_) {
        return true;
    }
    std::string& lowered = pScratch.lowered;
    switch (mode_) {
    case SearchMode::Name:
        return nameMatches(pName, pScratch);
    case SearchMode::Url:
        return everyWord([&](const MatchPrefilter& word) { return word.occursIn(pUrl, lowered); });
    case SearchMode::Both:
        // Each word may be in either field.
        return everyWord([&](const MatchPrefilter& word) {
            return word.occursIn(pName, lowered) || word.occursIn(pUrl, lowered);
        });
    case SearchMode::Nothing:
        break;
    }
    return false;
}

void Matcher::wordsIn(std::string_view pFolders, std::vector<bool>& pHeld,
                      MatchScratch& pScratch) const {
    pHeld.resize(words_.size());
    for (std::size_t i = 0; i < words_.size(); ++i) {
        pHeld[i] = words_[i].occursIn(pFolders, pScratch.lowered);
    }
}

bool Matcher::matchesWithFolders(std::string_view pName, std::string_view pUrl,
                                 const std::vector<bool>& pFolderWords,
                                 MatchScratch& pScratch) const {
    std::string& lowered = pScratch.lowered;
    for (std::size_t i = 0; i < words_.size(); ++i) {
        if (!pFolderWords[i] && !words_[i].occursIn(pName, lowered) &&
            !(mode_ == SearchMode::Both && words_[i].occursIn(pUrl, lowered))) {
            return false;
        }
    }
    return true;
}

} // namespace zaptrove
