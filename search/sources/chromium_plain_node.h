// SPDX-License-Identifier: MIT
#pragma once

#include "search/matching/match_prefilter.h"

#include <cstddef>
#include <string_view>

namespace zaptrove {

// A bookmark node of the usual shape, taken whole from 64-byte blocks instead
// of token by token: an object whose members are strings without escapes or
// objects of such members (meta_info), nothing else.
struct PlainNode {
    std::size_t length = 0; // up to and past its closing brace; 0 when not taken
    std::size_t depth = 0;  // the most objects open in it at once, itself counted
    bool isUrl = false;     // its last "type" string is "url"
    bool hasUrl = false;    // it has a "url" string
    // Not taken because a candidate for the term lies in it.
    bool holdsCandidate = false;
};

// Whether this processor takes nodes so (AVX2); where it does not, every node
// is left to the token reader.
bool fnReadsPlainNodes();

// The node whose '{' starts pText, when it is valid JSON of that shape, nests
// no deeper than kMaxPlainNodeDepth, holds no candidate for pTerm, ends within
// kMaxPlainNodeBytes, and the blocks it lies in (with the term's length more,
// one byte at least) are all in pText. Otherwise length 0: anything else (an
// escape, an array, a number, a fault) is the token reader's to read, and to
// name the byte where it goes wrong.
PlainNode fnReadPlainNode(std::string_view pText, const MatchPrefilter& pTerm);

inline constexpr std::size_t kMaxPlainNodeDepth = 4;
inline constexpr std::size_t kMaxPlainNodeBytes = std::size_t{64} << 10;

} // namespace zaptrove
