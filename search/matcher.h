// SPDX-License-Identifier: MIT
#pragma once

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
    // A text that every match holds somewhere in its name or address (as
    // platform::findMatchCandidate looks for it), so readers may skip the
    // stretches of a file without it.
    const std::string& term() const { return words_.front(); }
    // True when the mode looks at addresses, so readers must cut them.
    bool usesUrl() const;

    bool nameMatches(std::string_view pName);
    bool urlMatches(std::string_view pUrl);
    // The rule for the current mode; a mode outside name, URL and both never matches.
    bool matches(std::string_view pName, std::string_view pUrl);

  private:
    bool occursIn(std::string_view pText, const std::string& pWord);
    template <typename Found> bool everyWord(Found found);

    // The term, or its words with the longest first; never empty.
    std::vector<std::string> words_;
    std::int16_t function_;
    bool ignoreAccents_;
    std::string lowered_; // reused for every text outside ASCII, so matching allocates nothing
};

} // namespace zaptrove
