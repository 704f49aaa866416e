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

using platform::Block;
using platform::laneMask;
using platform::loadBlock;
using platform::splat;

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

// The bits of a block's lane mask from lane `first` on.
unsigned lanesFrom(unsigned mask, std::size_t first) {
    return mask >> first << first;
}

} // namespace

MatchPrefilter::MatchPrefilter(std::string pTerm, bool pIgnoreAccents, Blocks pBlocks)
    : term_(std::move(pTerm)), ignoreAccents_(pIgnoreAccents), asciiTerm_(isAscii(term_)),
      first_(asciiTerm_ && !term_.empty() ? term_.front() | 0x20 : 0x80),
      last_(asciiTerm_ && !term_.empty() ? term_.back() | 0x20 : 0x80),
      outsideFrom_(outsideMayHold(term_, asciiTerm_, pIgnoreAccents) ? 0x80 : 0xFF),
      span_(asciiTerm_ && !term_.empty() ? term_.size() - 1 : 0),
      wide_(pBlocks == Blocks::widest && platform::hasWideBlocks()), firstLanes_(splat(first_)),
      lastLanes_(splat(last_)), outsideLanes_(splat(outsideFrom_)) {
    if (!asciiTerm_ || term_.empty() || term_.size() > sizeof termWord_) {
        return;
    }
    std::array<unsigned char, sizeof termWord_> word{};
    std::array<unsigned char, sizeof termWord_> letters{};
    std::array<unsigned char, sizeof termWord_> bytes{};
    for (std::size_t k = 0; k < term_.size(); ++k) {
        word[k] = static_cast<unsigned char>(term_[k]);
        letters[k] = term_[k] >= 'a' && term_[k] <= 'z' ? 0x20 : 0;
        bytes[k] = 0xFF;
    }
    std::memcpy(&termWord_, word.data(), sizeof termWord_);
    std::memcpy(&letterBits_, letters.data(), sizeof letterBits_);
    std::memcpy(&termBytes_, bytes.data(), sizeof termBytes_);
}

bool MatchPrefilter::isCandidate(std::string_view pText, std::size_t pAt) const {
    if (static_cast<unsigned char>(pText[pAt]) >= outsideFrom_) {
        return true;
    }
    if (!asciiTerm_ || pText.size() - pAt < term_.size()) {
        return false;
    }
    if (termBytes_ != 0 && pText.size() - pAt >= sizeof termWord_) {
        std::uint64_t bytes = 0;
        std::memcpy(&bytes, pText.data() + pAt, sizeof bytes);
        return ((bytes | letterBits_) & termBytes_) == termWord_;
    }
    for (std::size_t k = 0; k < term_.size(); ++k) {
        if (platform::asciiLower(pText[pAt + k]) != term_[k]) {
            return false;
        }
    }
    return true;
}

// One bit for each lane of the block at `at` that may start a candidate or
// holds `also`, the first lane lowest.
unsigned MatchPrefilter::candidateMask(std::string_view text, std::size_t at, Block also) const {
    const Block head = loadBlock(text.data() + at);
    const Block tail = loadBlock(text.data() + at + span_);
    return laneMask((((head | 0x20) == firstLanes_) & ((tail | 0x20) == lastLanes_)) |
                    (head >= outsideLanes_) | (head == also));
}

// The first candidate or place of `also` among the places from `at` on that
// pMarked has a bit for (the first place lowest), or npos.
std::size_t MatchPrefilter::candidateAmong(std::string_view text, std::size_t at,
                                           std::uint64_t marked, char also) const {
    for (; marked != 0; marked &= marked - 1) {
        const std::size_t candidate = at + static_cast<std::size_t>(std::countr_zero(marked));
        if (text[candidate] == also || isCandidate(text, candidate)) {
            return candidate;
        }
    }
    return std::string_view::npos;
}

std::size_t MatchPrefilter::findInStretches(std::string_view text, std::size_t& at,
                                            char also) const {
#if ZAPTROVE_WIDE_BLOCKS
    if (wide_) {
        return findInWideStretches(text, at, also);
    }
#endif
    return findInNarrowStretches(text, at, also);
}

// Four blocks at a time are tested together; most hold no candidate at all.
std::size_t MatchPrefilter::findInNarrowStretches(std::string_view text, std::size_t& at,
                                                  char also) const {
    const Block alsoLanes = splat(also);
    constexpr std::size_t kBlock = sizeof(Block);
    std::size_t place = at; // in a register: `at` might alias span_
    for (; place + span_ + 4 * kBlock <= text.size(); place += 4 * kBlock) {
        const std::uint64_t marked =
            candidateMask(text, place, alsoLanes) |
            std::uint64_t{candidateMask(text, place + kBlock, alsoLanes)} << 16 |
            std::uint64_t{candidateMask(text, place + 2 * kBlock, alsoLanes)} << 32 |
            std::uint64_t{candidateMask(text, place + 3 * kBlock, alsoLanes)} << 48;
        if (marked != 0) {
            if (const std::size_t found = candidateAmong(text, place, marked, also);
                found != std::string_view::npos) {
                return found;
            }
        }
    }
    at = place;
    return std::string_view::npos;
}

#if ZAPTROVE_WIDE_BLOCKS
namespace {

using WideBlock = unsigned char __attribute__((vector_size(32)));

// The bytes a 32-byte block is compared with, in every lane.
struct WideLanes {
    WideBlock first;
    WideBlock last;
    WideBlock outside;
    WideBlock also;
};

[[gnu::target("avx2")]] WideBlock loadWideBlock(const char* p) {
    WideBlock block;
    __builtin_memcpy(&block, p, sizeof block);
    return block;
}

// One bit for each of the 32 places from pHead on that may start a candidate
// or hold `also`, the first place lowest; pTail is pHead plus the span.
[[gnu::target("avx2")]] std::uint64_t wideCandidateMask(const char* pHead, const char* pTail,
                                                        const WideLanes& pLanes) {
    using Bytes = char __attribute__((vector_size(32)));
    const WideBlock head = loadWideBlock(pHead);
    const WideBlock tail = loadWideBlock(pTail);
    const auto lanes = (((head | 0x20) == pLanes.first) & ((tail | 0x20) == pLanes.last)) |
                       (head >= pLanes.outside) | (head == pLanes.also);
    return static_cast<std::uint32_t>(__builtin_ia32_pmovmskb256(__builtin_bit_cast(Bytes, lanes)));
}

} // namespace

// Two 32-byte blocks at a time. The loop is the narrow one's, written again
// inside this AVX2-built function so that its block masks are inlined.
[[gnu::target("avx2")]] std::size_t
MatchPrefilter::findInWideStretches(std::string_view text, std::size_t& at, char also) const {
    const WideLanes lanes{first_ + WideBlock{}, last_ + WideBlock{}, outsideFrom_ + WideBlock{},
                          static_cast<unsigned char>(also) + WideBlock{}};
    constexpr std::size_t kWide = sizeof(WideBlock);
    std::size_t place = at; // in a register: `at` might alias span_
    for (; place + span_ + 2 * kWide <= text.size(); place += 2 * kWide) {
        const char* head = text.data() + place;
        const std::uint64_t marked = wideCandidateMask(head, head + span_, lanes) |
                                     wideCandidateMask(head + kWide, head + kWide + span_, lanes)
                                         << 32;
        if (marked != 0) {
            if (const std::size_t found = candidateAmong(text, place, marked, also);
                found != std::string_view::npos) {
                return found;
            }
        }
    }
    at = place;
    return std::string_view::npos;
}

// Two blocks, one from the start and one ending where the last occurrence
// could, then the bytes outside ASCII of the last block, as findInShortText.
[[gnu::target("avx2")]] std::size_t
MatchPrefilter::findInWideShortText(std::string_view text) const {
    const WideLanes lanes{first_ + WideBlock{}, last_ + WideBlock{}, outsideFrom_ + WideBlock{},
                          outsideFrom_ + WideBlock{}};
    constexpr std::size_t kWide = sizeof(WideBlock);
    const char* head = text.data();
    const std::size_t lastHead = text.size() - span_ - kWide;
    const std::size_t end = text.size() - kWide;
    using Bytes = char __attribute__((vector_size(32)));
    const auto outside = loadWideBlock(head + end) >= lanes.outside;
    const std::uint64_t marked =
        wideCandidateMask(head, head + span_, lanes) |
        wideCandidateMask(head + lastHead, head + end, lanes) << lastHead |
        std::uint64_t{static_cast<std::uint32_t>(
            __builtin_ia32_pmovmskb256(__builtin_bit_cast(Bytes, outside)))}
            << end;
    return marked == 0 ? std::string_view::npos
                       : candidateAmong(text, 0, marked, static_cast<char>(outsideFrom_));
}
#endif

std::size_t MatchPrefilter::findCandidate(std::string_view pText, std::size_t pFrom,
                                          char pAlso) const {
    if (term_.empty()) {
        return pFrom <= pText.size() ? pFrom : std::string_view::npos;
    }
    // A byte outside ASCII asked for adds nothing: it is taken as outsideFrom_,
    // a candidate already (0xFF, which UTF-8 never holds, when those are none).
    const char alsoByte =
        static_cast<unsigned char>(pAlso) < 0x80 ? pAlso : static_cast<char>(outsideFrom_);
    std::size_t at = pFrom;
    if (const std::size_t found = findInStretches(pText, at, alsoByte);
        found != std::string_view::npos) {
        return found;
    }
    const Block also = splat(alsoByte);
    constexpr std::size_t kBlock = sizeof(Block);
    // Then one block at a time, so that a short text (a bookmark's name) is
    // not tested byte by byte.
    for (; at + span_ + kBlock <= pText.size(); at += kBlock) {
        if (const std::size_t found =
                candidateAmong(pText, at, candidateMask(pText, at, also), alsoByte);
            found != std::string_view::npos) {
            return found;
        }
    }
    if (at >= pText.size()) {
        return std::string_view::npos;
    }
    // Fewer places than a block are left. In a text no shorter than a block
    // and the span, the last block that can start an occurrence is tested,
    // its places before `at` dropped; then the places after it, where only
    // a byte outside ASCII or `also` can be a candidate: within the text's
    // last block when the span is shorter than a block.
    if (pText.size() >= span_ + kBlock) {
        const std::size_t last = pText.size() - span_ - kBlock;
        if (at < last + kBlock) {
            if (const unsigned marked = lanesFrom(candidateMask(pText, last, also), at - last);
                marked != 0) {
                if (const std::size_t found = candidateAmong(pText, last, marked, alsoByte);
                    found != std::string_view::npos) {
                    return found;
                }
            }
        }
        at = std::max(at, last + kBlock);
        if (span_ < kBlock) {
            const std::size_t end = pText.size() - kBlock;
            const Block bytes = loadBlock(pText.data() + end);
            const unsigned marked =
                lanesFrom(laneMask((bytes >= outsideLanes_) | (bytes == also)), at - end);
            return marked == 0 ? std::string_view::npos
                               : end + static_cast<std::size_t>(std::countr_zero(marked));
        }
        for (; at < pText.size(); ++at) {
            if (pText[at] == alsoByte || static_cast<unsigned char>(pText[at]) >= outsideFrom_) {
                return at;
            }
        }
        return std::string_view::npos;
    }
    // A shorter text (a bookmark's name often is): a copy padded with zero
    // bytes is tested a block at a time, for a term short enough that two
    // blocks hold them. A candidate in the padding comes after every one in
    // the text: it means none.
    if (span_ < kBlock) {
        char padded[4 * kBlock] = {};
        const std::size_t left = pText.size() - at;
        std::memcpy(padded, pText.data() + at, left);
        const std::string_view rest(padded, left);
        for (std::size_t block = 0; block < left; block += kBlock) {
            if (const std::size_t found =
                    candidateAmong(rest, block, candidateMask(rest, block, also), alsoByte);
                found != std::string_view::npos) {
                return found < left ? at + found : std::string_view::npos;
            }
        }
        return std::string_view::npos;
    }
    for (; at < pText.size(); ++at) {
        if (pText[at] == alsoByte || isCandidate(pText, at)) {
            return at;
        }
    }
    return std::string_view::npos;
}

// The blocks stay within the text: from its start, then one ending where the
// last occurrence could, and the text's last block, where only a byte outside
// ASCII can start a candidate. A text shorter than a block and the span is
// tested in a copy padded with zero bytes, its places past the text dropped.
// Each place's bit stands at its place in the text.
std::size_t MatchPrefilter::findInShortText(std::string_view text) const {
    constexpr std::size_t kBlock = sizeof(Block);
    const std::size_t size = text.size();
#if ZAPTROVE_WIDE_BLOCKS
    if (wide_ && size >= span_ + 2 * kBlock) {
        return findInWideShortText(text);
    }
#endif
    std::uint64_t marked = 0;
    if (size < span_ + kBlock) {
        char padded[3 * kBlock] = {};
        std::memcpy(padded, text.data(), size);
        const std::string_view copy(padded, sizeof padded);
        marked = (candidateMask(copy, 0, outsideLanes_) |
                  std::uint64_t{candidateMask(copy, kBlock, outsideLanes_)} << kBlock) &
                 ((std::uint64_t{1} << size) - 1);
    } else {
        const std::size_t lastHead = size - span_ - kBlock;
        for (std::size_t at = 0; at < lastHead; at += kBlock) {
            marked |= std::uint64_t{candidateMask(text, at, outsideLanes_)} << at;
        }
        marked |= std::uint64_t{candidateMask(text, lastHead, outsideLanes_)} << lastHead;
        const std::size_t end = size - kBlock;
        marked |= std::uint64_t{laneMask(loadBlock(text.data() + end) >= outsideLanes_)} << end;
    }
    return marked == 0 ? std::string_view::npos
                       : candidateAmong(text, 0, marked, static_cast<char>(outsideFrom_));
}

bool MatchPrefilter::mayHold(char32_t pCharacter) const {
    return pCharacter >= 0x80 ||
           term_.find(platform::asciiLower(static_cast<char>(pCharacter))) != std::string::npos;
}

bool MatchPrefilter::occursIn(std::string_view pText, std::string& pScratch) const {
    if (term_.empty()) {
        return true;
    }
    const std::size_t at = pText.size() <= kShortText && span_ < sizeof(Block)
                               ? findInShortText(pText)
                               : findCandidate(pText, 0);
    if (at == std::string_view::npos) {
        return false;
    }
    if (static_cast<unsigned char>(pText[at]) < 0x80) {
        return true; // an occurrence in ASCII, which both mappings lower-case byte by byte
    }
    return occursInMapped(pText, pScratch);
}

// Apart from occursIn, so that its usual answers, found in place, do not pay
// for the registers this one keeps.
bool MatchPrefilter::occursInMapped(std::string_view text, std::string& scratch) const {
    if (ignoreAccents_) {
        platform::foldAccentsInto(text, scratch);
    } else {
        platform::lowerCaseInto(text, scratch);
    }
    return scratch.find(term_) != std::string::npos;
}

} // namespace zaptrove
