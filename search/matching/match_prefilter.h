// SPDX-License-Identifier: MIT
#pragma once

#include "text/byte_blocks.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zaptrove {

// Finds the places where a lower-cased term (or one with its accents folded
// too) could occur in text, prepared once per search. A candidate is the start
// of an occurrence with ASCII letter case ignored, or a byte outside ASCII,
// whose mapping only the full tables know (a term outside ASCII can only meet
// such bytes). Only an ASCII term searched with accents kept can tell those
// bytes apart: when it holds no letter that a character outside ASCII
// lower-cases to (kLowerIntoAscii), every occurrence is in ASCII, so they are
// no candidates.
class MatchPrefilter {
  public:
    // The blocks a text is tested in: the widest this processor has, or sixteen
    // bytes everywhere (so that tests can compare both).
    enum class Blocks { widest, sixteenBytes };

    // pTerm is lower-cased, and accent-folded when pIgnoreAccents is set.
    explicit MatchPrefilter(std::string pTerm, bool pIgnoreAccents = false,
                            Blocks pBlocks = Blocks::widest);

    const std::string& term() const { return term_; }

    // The first candidate at or after pFrom, or place that holds pAlso; npos
    // when there is none. An empty term occurs everywhere. pAlso lets a reader
    // find the bytes that start its escapes in the same pass; one outside ASCII
    // adds nothing.
    std::size_t findCandidate(std::string_view pText, std::size_t pFrom, char pAlso = '\x80') const;

    // True when a byte outside ASCII that may be part of an occurrence stands
    // at pText[pAt], or an occurrence of the term, ASCII letter case ignored,
    // starts there.
    bool isCandidate(std::string_view pText, std::size_t pAt) const;

    // False when the character can be no part of an occurrence: an ASCII
    // character whose lower case the term lacks. One outside ASCII may map to
    // ASCII ("K", the Kelvin sign, to "k"), so it always may.
    bool mayHold(char32_t pCharacter) const;

    // True when the lower-cased (or folded) text contains the term. ASCII text is
    // compared in place; text with other characters is mapped into pScratch.
    bool occursIn(std::string_view pText, std::string& pScratch) const;

  private:
    unsigned candidateMask(std::string_view text, std::size_t at, platform::Block also) const;
    std::size_t candidateAmong(std::string_view text, std::size_t at, std::uint64_t marked,
                               char also) const;
    // The first candidate or place of `also` from `at` on, testing 64 places
    // at a time while their last bytes fit in the text, or npos with `at` left
    // at the first place not tested.
    std::size_t findInStretches(std::string_view text, std::size_t& at, char also) const;
    std::size_t findInNarrowStretches(std::string_view text, std::size_t& at, char also) const;
#if ZAPTROVE_WIDE_BLOCKS
    std::size_t findInWideStretches(std::string_view text, std::size_t& at, char also) const;
#endif
    // findCandidate(text, 0) for a text of at most kShortText bytes and a span
    // shorter than a block (a bookmark's name or address): a few blocks over
    // the whole text, without the stretches' set-up.
    std::size_t findInShortText(std::string_view text) const;
#if ZAPTROVE_WIDE_BLOCKS
    // findInShortText in 32-byte blocks, for a text no shorter than one and
    // the span.
    std::size_t findInWideShortText(std::string_view text) const;
#endif
    static constexpr std::size_t kShortText = 64;
    // Whether the lower-cased (or folded) text, mapped into scratch, holds
    // the term.
    [[gnu::noinline]] bool occursInMapped(std::string_view text, std::string& scratch) const;

    std::string term_;
    bool ignoreAccents_;
    bool asciiTerm_;
    // Both letter cases of the term's first and last bytes look the same with
    // bit 5 set; a term outside ASCII gets 0x80, which no byte so marked equals,
    // so that only bytes outside ASCII are candidates.
    unsigned char first_;
    unsigned char last_;
    // The bytes from this one on are candidates: 0x80, or 0xFF (which UTF-8
    // never holds) when no byte outside ASCII can be part of an occurrence.
    unsigned char outsideFrom_;
    std::size_t span_; // from the first byte to the last
    // An ASCII term of up to eight bytes is compared with eight bytes of the
    // text at once: the term's bytes padded with zeros, 0x20 where it has a
    // letter (either case of which matches), and 0xFF over its bytes; all
    // zero for another term.
    std::uint64_t termWord_ = 0;
    std::uint64_t letterBits_ = 0;
    std::uint64_t termBytes_ = 0;
    bool wide_; // 32-byte blocks (AVX2) test the stretches
    // first_, last_ and outsideFrom_ in every lane.
    platform::Block firstLanes_;
    platform::Block lastLanes_;
    platform::Block outsideLanes_;
};

} // namespace zaptrove
