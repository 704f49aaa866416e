// SPDX-License-Identifier: MIT
#pragma once

#include "search/matching/match_prefilter.h"
#include "search/scanning/byte_pairs.h"
#include "search/scanning/long_text_cut.h"

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
    // How the runs of the text fall, for cutting one too long to hold whole.
    const LongTextRule* longText = nullptr;
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
// A byte outside ASCII is a candidate place unless the term cannot hold it
// (see MatchPrefilter), and then every block that holds one is cut.
//
// With folder names searched, a block may match without the term when the
// folders around it hold it: folderBound(from), for a block start, answers
// from itself when they do, else the next place where the folders may change
// (npos when none can), up to which the prefilter alone decides.
template <typename ScanBlock, typename FolderBound>
void subScanBlocksThatCanMatch(std::string_view pText, const BlockRule& pRule,
                               const MatchPrefilter& pPrefilter, ScanBlock scanBlock,
                               FolderBound folderBound) {
    constexpr std::size_t npos = std::string_view::npos;
    const std::string_view marker = pRule.marker;
    std::size_t block = fnFindMarker(pText, marker, 0);
    // Escapes are looked for in the same pass as the term; one that cannot
    // stand for a part of it is passed by.
    const char escape = pRule.escape == '\0' ? '\x80' : pRule.escape;
    const auto nextCandidate = [&](std::size_t from) {
        const std::size_t bound = folderBound(from);
        if (bound <= from) {
            return from;
        }
        // The text up to the bound: a candidate after it would not count.
        const std::string_view text = pText.substr(0, bound);
        std::size_t at = pPrefilter.findCandidate(text, from, escape);
        while (at != npos && pRule.escape != '\0' && pText[at] == pRule.escape &&
               !pPrefilter.isCandidate(pText, at) && !pRule.escapeMayHold(pText, at, pPrefilter)) {
            at = pPrefilter.findCandidate(text, at + 1, escape);
        }
        return std::min(at, bound);
    };
    // The first candidate place at or after the current block; it stays valid
    // while the blocks cut stay before it.
    std::size_t candidate = block == npos ? npos : nextCandidate(block);
    while (block != npos) {
        if (candidate < block) {
            candidate = nextCandidate(block);
        }
        if (candidate == npos) {
            break;
        }
        for (std::size_t at = fnFindLastMarker(pText, marker, candidate + 1);
             at != npos && at > block; at = fnFindLastMarker(pText, marker, at)) {
            if (pRule.isSureStart(pText, at)) {
                block = at;
                break;
            }
        }
        while (block != npos && block <= candidate) {
            block = scanBlock(block);
        }
    }
}

// The same without folder names searched.
template <typename ScanBlock>
void subScanBlocksThatCanMatch(std::string_view pText, const BlockRule& pRule,
                               const MatchPrefilter& pPrefilter, ScanBlock scanBlock) {
    subScanBlocksThatCanMatch(pText, pRule, pPrefilter, scanBlock,
                              [](std::size_t) { return std::string_view::npos; });
}

} // namespace zaptrove
