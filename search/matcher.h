// SPDX-License-Identifier: MIT
#pragma once

#include "search/match_prefilter.h"

#include <cstdint>
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
};

// The matching rule every reader applies: the lower-cased search term must occur
// in the lower-cased name, address, or either, by Settings.Function.
class Matcher {
  public:
    // pSearchTerm is already lower-cased; it is not trimmed.
    Matcher(std::string pSearchTerm, std::int16_t pFunction, MatchRules pRules = {});

    std::int16_t function() const { return function_; }
    // Where the longest word, which every match holds somewhere in its name or
    // address, could occur: readers skip the stretches of a file without it.
    const MatchPrefilter& prefilter() const { return words_.front(); }
    // True when the mode looks at addresses, so readers must cut them.
    bool usesUrl() const;

    bool nameMatches(std::string_view pName);
    bool urlMatches(std::string_view pUrl);
    // The rule for the current mode; a mode outside name, URL and both never matches.
    bool matches(std::string_view pName, std::string_view pUrl);

  private:
    template <typename Found> bool everyWord(Found found);

    // The term, or its words with the longest first; never empty.
    std::vector<MatchPrefilter> words_;
    std::int16_t function_;
    std::string lowered_; // reused for every text outside ASCII, so matching allocates nothing
};

} // namespace zaptrove
