// SPDX-License-Identifier: MIT
#include "platform/accent_folding.h"

#include <algorithm>
#include <array>

namespace zaptrove::platform {

namespace {

struct Decomposition {
    char16_t character;
    char16_t base;
};

constexpr Decomposition kDecompositions[] = {
#include "platform/accent_table.inc"
};

// The blocks of combining marks that accents are written with.
constexpr std::array<std::array<char32_t, 2>, 6> kCombiningMarks = {{{0x0300, 0x036F},
                                                                     {0x0483, 0x0489},
                                                                     {0x1AB0, 0x1AFF},
                                                                     {0x1DC0, 0x1DFF},
                                                                     {0x20D0, 0x20FF},
                                                                     {0xFE20, 0xFE2F}}};

} // namespace

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
