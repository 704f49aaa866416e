// SPDX-License-Identifier: MIT
#pragma once

#include "search/match_prefilter.h"

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
    // A byte that makes its place a candidate whatever the term: the start of
    // an escape that can stand for any text ('\0' for none).
    char escape = '\0';
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
        return pRule.escape == '\0' ? npos : pText.find(pRule.escape, from);
    };
    std::size_t escape = nextEscape(block);
    while (block != npos) {
        if (escape < block) {
            escape = nextEscape(block);
        }
        const std::size_t candidate = std::min(pPrefilter.findCandidate(pText, block), escape);
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
