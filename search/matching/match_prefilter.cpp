// SPDX-License-Identifier: MIT
#include "search/matching/match_prefilter.h"

#include "text/byte_blocks.h"
#include "text/code_point_case.h"
#include "text/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <iterator>

namespace zaptrove {

using platform::anyLane;
using platform::Block;
using platform::laneBits;
using platform::loadBlock;

namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Whether a character outside ASCII may stand for a part of the term in the
// lower-cased (or folded) text.
bool outsideMayHold(std::string_view term, bool asciiTerm, bool ignoreAccents) {
    if (!asciiTerm || ignoreAccents) {
        return true; // folding turns letters outside ASCII into ASCII ones
    }
    return std::any_of(std::begin(platform::kLowerIntoAscii), std::end(platform::kLowerIntoAscii),
                       [&](char32_t c) {
                           const char32_t lower = platform::lowerCodePoint(c);
                           return lower < 0x80 &&
                                  term.find(static_cast<char>(lower)) != std::string_view::npos;
                       });
}

} // namespace

MatchPrefilter::MatchPrefilter(std::string pTerm, bool pIgnoreAccents)
    : term_(std::move(pTerm)), ignoreAccents_(pIgnoreAccents), asciiTerm_(isAscii(term_)),
      first_(asciiTerm_ && !term_.empty() ? term_.front() | 0x20 : 0x80),
      last_(asciiTerm_ && !term_.empty() ? term_.back() | 0x20 : 0x80),
      outsideFrom_(outsideMayHold(term_, asciiTerm_, pIgnoreAccents) ? 0x80 : 0xFF),
      span_(asciiTerm_ && !term_.empty() ? term_.size() - 1 : 0) {}

bool MatchPrefilter::isCandidate(std::string_view pText, std::size_t pAt) const {
    if (static_cast<unsigned char>(pText[pAt]) >= outsideFrom_) {
        return true;
    }
    if (!asciiTerm_ || pText.size() - pAt < term_.size()) {
        return false;
    }
    for (std::size_t k = 0; k < term_.size(); ++k) {
        if (platform::asciiLower(pText[pAt + k]) != term_[k]) {
            return false;
        }
    }
    return true;
}

// The lanes of the block at `at` that may start a candidate or hold `also`.
auto MatchPrefilter::candidateLanes(std::string_view text, std::size_t at,
                                    unsigned char also) const {
    const Block head = loadBlock(text.data() + at);
    const Block tail = loadBlock(text.data() + at + span_);
    return (((head | 0x20) == first_) & ((tail | 0x20) == last_)) | (head >= outsideFrom_) |
           (head == also);
}

// The first candidate or place of `also` among the marked lanes of the block
// at `at`, or npos.
template <typename Lanes>
std::size_t MatchPrefilter::candidateInLanes(std::string_view text, std::size_t at,
                                             const Lanes& lanes, char also) const {
    for (std::size_t word = 0; word < 2; ++word) {
        for (std::uint64_t bits = laneBits(lanes, word); bits != 0; bits &= bits - 1) {
            const std::size_t candidate = at + 8 * word + std::countr_zero(bits) / 8;
            if (text[candidate] == also || isCandidate(text, candidate)) {
                return candidate;
            }
        }
    }
    return std::string_view::npos;
}

// The first candidate or place of `also` in the block at `at`, or npos.
std::size_t MatchPrefilter::candidateInBlock(std::string_view text, std::size_t at,
                                             char also) const {
    return candidateInLanes(text, at, candidateLanes(text, at, static_cast<unsigned char>(also)),
                            also);
}

std::size_t MatchPrefilter::findCandidate(std::string_view pText, std::size_t pFrom,
                                          char pAlso) const {
    if (term_.empty()) {
        return pFrom <= pText.size() ? pFrom : std::string_view::npos;
    }
    const auto also = static_cast<unsigned char>(pAlso);
    // Four blocks at a time are tested together; most hold no candidate at all.
    constexpr std::size_t kStride = 4 * sizeof(Block);
    std::size_t at = pFrom;
    for (; at + span_ + kStride <= pText.size(); at += kStride) {
        const std::array lane = {candidateLanes(pText, at, also),
                                 candidateLanes(pText, at + sizeof(Block), also),
                                 candidateLanes(pText, at + 2 * sizeof(Block), also),
                                 candidateLanes(pText, at + 3 * sizeof(Block), also)};
        if (!anyLane(lane[0] | lane[1] | lane[2] | lane[3])) {
            continue;
        }
        // The lanes already worked out are searched, not worked out again.
        for (std::size_t block = 0; block < 4; ++block) {
            if (const std::size_t found =
                    candidateInLanes(pText, at + block * sizeof(Block), lane[block], pAlso);
                found != std::string_view::npos) {
                return found;
            }
        }
    }
    // Then one block at a time, so that a short text (a bookmark's name) is
    // not tested byte by byte.
    for (; at + span_ + sizeof(Block) <= pText.size(); at += sizeof(Block)) {
        if (const std::size_t found = candidateInBlock(pText, at, pAlso);
            found != std::string_view::npos) {
            return found;
        }
    }
    // The bytes left, fewer than a block and the span (a bookmark's name is
    // often no more): a copy padded with zero bytes is tested a block at a
    // time, for a term short enough that two blocks hold them. A candidate in
    // the padding comes after every one in the text: it means none.
    if (const std::size_t left = pText.size() - at; left > 0 && span_ < sizeof(Block)) {
        char padded[4 * sizeof(Block)] = {};
        std::memcpy(padded, pText.data() + at, left);
        const std::string_view rest(padded, left);
        for (std::size_t block = 0; block < left; block += sizeof(Block)) {
            if (const std::size_t found = candidateInBlock(rest, block, pAlso);
                found != std::string_view::npos) {
                return found < left ? at + found : std::string_view::npos;
            }
        }
        return std::string_view::npos;
    }
    for (; at < pText.size(); ++at) {
        if (pText[at] == pAlso || isCandidate(pText, at)) {
            return at;
        }
    }
    return std::string_view::npos;
}

bool MatchPrefilter::mayHold(char32_t pCharacter) const {
    return pCharacter >= 0x80 ||
           term_.find(platform::asciiLower(static_cast<char>(pCharacter))) != std::string::npos;
}

bool MatchPrefilter::occursIn(std::string_view pText, std::string& pScratch) const {
    if (term_.empty()) {
        return true;
    }
    const std::size_t at = findCandidate(pText, 0);
    if (at == std::string_view::npos) {
        return false;
    }
    if (static_cast<unsigned char>(pText[at]) < 0x80) {
        return true; // an occurrence in ASCII, which both mappings lower-case byte by byte
    }
    if (ignoreAccents_) {
        platform::foldAccentsInto(pText, pScratch);
    } else {
        platform::lowerCaseInto(pText, pScratch);
    }
    return pScratch.find(term_) != std::string::npos;
}

} // namespace zaptrove
