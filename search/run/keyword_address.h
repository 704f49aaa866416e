// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// What a Firefox keyword makes of the typed text.
namespace zaptrove {

// The first word of the typed text, lower-cased: the keyword looked for.
std::string fnTypedKeyword(std::string_view pTerm);

// A keyword bookmark's address for the typed text: every "%s" replaced by the
// text after the keyword, its outer blanks trimmed, percent-encoded as UTF-8
// ("a b&é" gives "a%20b%26%C3%A9"), every "%S" by that text as typed.
std::string fnFillKeywordAddress(std::string_view pAddress, std::string_view pTerm);

} // namespace zaptrove
