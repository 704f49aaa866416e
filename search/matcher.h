// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zaptrove {

// The matching rule every reader applies: the lower-cased search term must occur
// in the lower-cased name, address, or either, by Settings.Function.
class Matcher {
  public:
    // pSearchTerm is already lower-cased; it is not trimmed.
    Matcher(std::string pSearchTerm, std::int16_t pFunction);

    std::int16_t function() const { return function_; }
    const std::string& term() const { return term_; }
    // True when the mode looks at addresses, so readers must cut them.
    bool usesUrl() const;

    bool nameMatches(std::string_view pName);
    bool urlMatches(std::string_view pUrl);
    // The rule for the current mode; a mode outside name, URL and both never matches.
    bool matches(std::string_view pName, std::string_view pUrl);

  private:
    bool occursIn(std::string_view pText);

    std::string term_;
    std::int16_t function_;
    std::string lowered_; // reused for every text outside ASCII, so matching allocates nothing
};

} // namespace zaptrove
