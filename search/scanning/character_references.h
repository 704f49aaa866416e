// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zaptrove {

// Decodes the character references that end in ";": the named references of
// HTML 4 and "&apos;" (so the five of XML among them), "&#NNN;" and "&#xHH;".
// A number that names no character gives U+FFFD. A "&" that starts none of
// them stays as written, as in raw addresses such as "?a=1&sort=2".
std::string fnDecodeCharacterReferences(std::string_view pText);

// A reference that fnDecodeCharacterReferences decodes: the character it stands
// for and its length, "&" and ";" included.
struct CharacterReference {
    char32_t character;
    std::size_t length;
};

// The reference pText starts with; nothing when it starts with none.
std::optional<CharacterReference> fnCharacterReferenceAt(std::string_view pText);

} // namespace zaptrove
