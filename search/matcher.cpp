// SPDX-License-Identifier: MIT
#include "search/matcher.h"

#include "platform/text.h"
#include "settings/settings.h"

#include <algorithm>

namespace zaptrove {

namespace {

// The words of term between blanks; the term itself when it holds nothing else.
std::vector<std::string> wordsOf(const std::string& term) {
    std::vector<std::string> words;
    constexpr std::string_view kBlanks = " \t";
    for (std::size_t start = term.find_first_not_of(kBlanks); start != std::string::npos;) {
        const std::size_t end = term.find_first_of(kBlanks, start);
        words.push_back(term.substr(start, end - start));
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

Matcher::Matcher(std::string pSearchTerm, std::int16_t pFunction, MatchRules pRules)
    : function_(pFunction), ignoreAccents_(pRules.ignoreAccents) {
    if (ignoreAccents_) {
        pSearchTerm = platform::foldAccents(pSearchTerm);
    }
    if (pRules.anyWordOrder) {
        words_ = wordsOf(pSearchTerm);
    } else {
        words_.push_back(std::move(pSearchTerm));
    }
}

bool Matcher::usesUrl() const {
    return function_ == FUNC_URL || function_ == FUNC_BOTH;
}

bool Matcher::occursIn(std::string_view pText, const std::string& pWord) {
    return ignoreAccents_ ? platform::containsFolded(pText, pWord, lowered_)
                          : platform::containsLowered(pText, pWord, lowered_);
}

template <typename Found> bool Matcher::everyWord(Found found) {
    return std::all_of(words_.begin(), words_.end(), found);
}

bool Matcher::nameMatches(std::string_view pName) {
    return everyWord([&](const std::string& word) { return occursIn(pName, word); });
}

bool Matcher::urlMatches(std::string_view pUrl) {
    return everyWord([&](const std::string& word) { return occursIn(pUrl, word); });
}

bool Matcher::matches(std::string_view pName, std::string_view pUrl) {
    switch (function_) {
    case FUNC_NAME:
        return nameMatches(pName);
    case FUNC_URL:
        return urlMatches(pUrl);
    case FUNC_BOTH:
        // Each word may be in either field.
        return everyWord(
            [&](const std::string& word) { return occursIn(pName, word) || occursIn(pUrl, word); });
    default:
        return false;
    }
}

} // namespace zaptrove
