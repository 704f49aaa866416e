// SPDX-License-Identifier: MIT
#pragma once

#include "search/matching/match_prefilter.h"

#include <algorithm>
#include <string_view>

namespace zaptrove {

// How the text of a bookmark file falls into blocks, one per entry: each block
// starts with marker, and isSureStart(text, at) tells whether an occurrence of
// marker at `at` (never the text's first byte) starts a block whatever the text
// before it holds. Cutting blocks one after the other from the first occurrence
// of marker meets every sure start.
struct BlockRule {
    std::string_view marker;
    bool (*isSureStart)(std::string_view text, std::size_t at);
    // A byte that may start an escape standing for other text ('\0' for none),
    // and whether the escape at `at` may stand for a part of the term: its place
    // is then a candidate whatever the raw text holds.
    char escape = '\0';
    bool (*escapeMayHold)(std::string_view text, std::size_t at,
                          const MatchPrefilter& prefilter) = nullptr;
};

// Runs the blocks of a bookmark file that can hold a match through scanBlock,
// in file order, and skips the others unread. scanBlock(start) cuts the block
// that starts at `start`, keeps its bookmark when it matches, and answers where
// the next block starts (npos when no block follows). The first block starts at
// the first occurrence of marker.
//
// Each block must hold its name and address between its own start and the next
// block's, so a block without a place where the term could match (see
// MatchPrefilter) cannot match. From the last sure start before a
// candidate place, the blocks are cut one by one until that place is passed.
// A byte outside ASCII is a candidate place, so every block that holds one is
// cut.
template <typename ScanBlock>
void subScanBlocksThatCanMatch(std::string_view pText, const BlockRule& pRule,
                               const MatchPrefilter& pPrefilter, ScanBlock scanBlock) {
    constexpr std::size_t npos = std::string_view::npos;
    const std::string_view marker = pRule.marker;
    std::size_t block = pText.find(marker);
    const auto nextEscape = [&](std::size_t from) {
        std::size_t at = pRule.escape == '\0' ? npos : pText.find(pRule.escape, from);
        while (at != npos && !pRule.escapeMayHold(pText, at, pPrefilter)) {
            at = pText.find(pRule.escape, at + 1);
        }
        return at;
    };
    std::size_t escape = nextEscape(block);
    // The first candidate place of the term at or after the current block; it
    // stays valid while the blocks cut stay before it.
    std::size_t term = block == npos ? npos : pPrefilter.findCandidate(pText, block);
    while (block != npos) {
        if (escape < block) {
            escape = nextEscape(block);
        }
        if (term < block) {
            term = pPrefilter.findCandidate(pText, block);
        }
        const std::size_t candidate = std::min(term, escape);
        if (candidate == npos) {
            break;
        }
        for (std::size_t at = candidate; at > block; --at) {
            if (pText[at] == marker.front() && pText.substr(at).starts_with(marker) &&
                pRule.isSureStart(pText, at)) {
                block = at;
                break;
            }
        }
        while (block != npos && block <= candidate) {
            block = scanBlock(block);
        }
    }
}

} // namespace zaptrove
