// SPDX-License-Identifier: MIT
#include "search/scanning/byte_pairs.h"

#include "text/byte_blocks.h"

#include <algorithm>

namespace zaptrove {

using platform::anyLane;
using platform::Block;
using platform::firstLane;
using platform::lastLane;
using platform::loadBlock;

namespace {

// The lanes of the block at p where a pair starts; p[16] is read too.
auto pairLanes(const char* p, const BytePairs& pairs) {
    const Block head = loadBlock(p);
    const Block next = loadBlock(p + 1);
    return ((head == static_cast<unsigned char>(pairs.first[0])) &
            (next == static_cast<unsigned char>(pairs.first[1]))) |
           ((head == static_cast<unsigned char>(pairs.second[0])) &
            (next == static_cast<unsigned char>(pairs.second[1])));
}

bool pairAt(std::string_view text, std::size_t at, const char (&pair)[2]) {
    return text[at] == pair[0] && text[at + 1] == pair[1];
}

} // namespace

std::size_t fnFindBytePair(std::string_view pText, std::size_t pFrom, const BytePairs& pPairs) {
    constexpr std::size_t kBlock = sizeof(Block);
    constexpr std::size_t kStride = 4 * kBlock;
    const char* const data = pText.data();
    std::size_t at = pFrom;
    // Four blocks at a time while a byte follows them; most hold no pair.
    for (; at + kStride < pText.size(); at += kStride) {
        if (!anyLane(pairLanes(data + at, pPairs) | pairLanes(data + at + kBlock, pPairs) |
                     pairLanes(data + at + 2 * kBlock, pPairs) |
                     pairLanes(data + at + 3 * kBlock, pPairs))) {
            continue;
        }
        for (std::size_t block = at; block < at + kStride; block += kBlock) {
            if (const std::size_t lane = firstLane(pairLanes(data + block, pPairs));
                lane < kBlock) {
                return block + lane;
            }
        }
    }
    for (; at + 1 < pText.size(); ++at) {
        if (pairAt(pText, at, pPairs.first) || pairAt(pText, at, pPairs.second)) {
            return at;
        }
    }
    return std::string_view::npos;
}

std::size_t fnFindLastBytePair(std::string_view pText, std::size_t pEnd, const BytePairs& pPairs) {
    constexpr std::size_t kBlock = sizeof(Block);
    if (pText.size() < 2) {
        return std::string_view::npos;
    }
    // A pair starts before the text's last byte; the block before `end` reads up to text[end].
    std::size_t end = std::min(pEnd, pText.size() - 1);
    for (; end >= kBlock; end -= kBlock) {
        if (const std::size_t lane = lastLane(pairLanes(pText.data() + end - kBlock, pPairs));
            lane < kBlock) {
            return end - kBlock + lane;
        }
    }
    for (; end > 0; --end) {
        if (pairAt(pText, end - 1, pPairs.first) || pairAt(pText, end - 1, pPairs.second)) {
            return end - 1;
        }
    }
    return std::string_view::npos;
}

namespace {

BytePairs headOf(std::string_view marker) {
    return {{marker[0], marker[1]}, {marker[0], marker[1]}};
}

} // namespace

std::size_t fnFindMarker(std::string_view pText, std::string_view pMarker, std::size_t pFrom) {
    // The next marker is mostly near (a bookmark's entry away), and memchr is
    // quick to start: its first byte is looked for that way a few times, then,
    // where that byte stands often without the marker, pair by pair.
    constexpr int kFirstByteLooks = 4;
    for (int look = 0; look < kFirstByteLooks; ++look) {
        const std::size_t at = pText.find(pMarker[0], pFrom);
        if (at == std::string_view::npos || pText.substr(at).starts_with(pMarker)) {
            return at;
        }
        pFrom = at + 1;
    }
    const BytePairs head = headOf(pMarker);
    for (std::size_t at = fnFindBytePair(pText, pFrom, head); at != std::string_view::npos;
         at = fnFindBytePair(pText, at + 1, head)) {
        if (pText.substr(at).starts_with(pMarker)) {
            return at;
        }
    }
    return std::string_view::npos;
}

std::size_t fnFindLastMarker(std::string_view pText, std::string_view pMarker, std::size_t pEnd) {
    const BytePairs head = headOf(pMarker);
    for (std::size_t at = fnFindLastBytePair(pText, pEnd, head); at != std::string_view::npos;
         at = fnFindLastBytePair(pText, at, head)) {
        if (pText.substr(at).starts_with(pMarker)) {
            return at;
        }
    }
    return std::string_view::npos;
}

} // namespace zaptrove
