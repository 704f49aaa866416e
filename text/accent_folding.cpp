// SPDX-License-Identifier: MIT
#include "text/accent_folding.h"

#include <algorithm>
#include <array>

namespace zaptrove::platform {

namespace {

struct Decomposition {
    char16_t character;
    char16_t base;
};

constexpr Decomposition kDecompositions[] = {
#include "text/accent_table.inc"
};

// The blocks of combining marks that accents are written with.
constexpr std::array<std::array<char32_t, 2>, 6> kCombiningMarks = {{{0x0300, 0x036F},
                                                                     {0x0483, 0x0489},
                                                                     {0x1AB0, 0x1AFF},
                                                                     {0x1DC0, 0x1DFF},
                                                                     {0x20D0, 0x20FF},
                                                                     {0xFE20, 0xFE2F}}};

struct Spelling {
    char32_t character;
    std::string_view plain;
};

// Sorted by character.
constexpr Spelling kPlainSpellings[] = {
    {0x00C6, "ae"}, // Æ
    {0x00D8, "o"},  // Ø
    {0x00DF, "ss"}, // ß
    {0x00E6, "ae"}, // æ
    {0x00F8, "o"},  // ø
    {0x0152, "oe"}, // Œ
    {0x0153, "oe"}, // œ
    {0x1E9E, "ss"}, // ẞ
};

} // namespace

std::string_view plainSpelling(char32_t codePoint) {
    const auto* found =
        std::lower_bound(std::begin(kPlainSpellings), std::end(kPlainSpellings), codePoint,
                         [](const Spelling& entry, char32_t cp) { return entry.character < cp; });
    return found != std::end(kPlainSpellings) && found->character == codePoint ? found->plain
                                                                               : std::string_view();
}

char32_t withoutAccents(char32_t codePoint) {
    for (const auto& [first, last] : kCombiningMarks) {
        if (codePoint >= first && codePoint <= last) {
            return 0;
        }
    }
    const auto* found = std::lower_bound(
        std::begin(kDecompositions), std::end(kDecompositions), codePoint,
        [](const Decomposition& entry, char32_t cp) { return entry.character < cp; });
    return found != std::end(kDecompositions) && found->character == codePoint ? found->base
                                                                               : codePoint;
}

} // namespace zaptrove::platform
