// SPDX-License-Identifier: MIT
#pragma once

// The accent folding of one Unicode code point, used by the text service for
// every character outside ASCII. The same table serves every system, so a
// search finds the same bookmarks everywhere.
#include <string_view>

namespace zaptrove::platform {

// A combining mark answers 0 (it is dropped); a Latin, Greek or Cyrillic letter
// with accents answers its base letter; anything else answers itself.
char32_t withoutAccents(char32_t codePoint);

// The plain lower-case letters that a letter without a decomposition is typed
// as where it is missing from the keyboard: "ß" and "ẞ" as "ss", "æ" as "ae",
// "œ" as "oe", "ø" as "o" (capitals alike). Empty for every other character.
std::string_view plainSpelling(char32_t codePoint);

} // namespace zaptrove::platform
