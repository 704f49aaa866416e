// SPDX-License-Identifier: MIT
#include "search/sources/chromium_plain_node.h"

#include "text/byte_blocks.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#if ZAPTROVE_WIDE_BLOCKS
#include <immintrin.h>
#endif

namespace zaptrove {

#if ZAPTROVE_WIDE_BLOCKS
namespace {

// A 64-byte block's bytes by kind, one bit a byte, the first byte lowest.
struct BlockKinds {
    std::uint64_t quote = 0;
    std::uint64_t stringFault = 0; // a backslash or a control byte
    std::uint64_t blank = 0;
    std::uint64_t colon = 0;
    std::uint64_t comma = 0;
    std::uint64_t opening = 0; // '{'
    std::uint64_t closing = 0; // '}'
    std::uint64_t mayStartTerm = 0;
    std::uint64_t beforeTOrU = 0; // followed by 't' or 'u', as a "type" or "url" key's quote
};

// What marks the places where the term may start, beyond the prefilter's own
// candidates: its first and last bytes, letter case ignored, pSpan apart, and
// every byte outside ASCII.
struct TermLanes {
    __m256i first;
    __m256i last;
    std::size_t span;
};

[[gnu::target("avx2,pclmul")]] std::uint64_t bitsOf(__m256i pLanes) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(pLanes));
}

// Blanks and the structural bytes are told by a table of each kind, indexed by
// a byte's low four bits: a byte is of the kind when the table holds it there
// (0x80 where it holds none, which no byte below 0x80 matches, and bytes from
// 0x80 on are looked up as 0). The structural bytes' low bits differ; their
// bits 6 and 1 tell them apart.
[[gnu::target("avx2,pclmul")]] BlockKinds kindsOf(const char* pBlock, const TermLanes& pTerm) {
    constexpr char kNone = static_cast<char>(0x80);
    const __m256i blanks =
        _mm256_setr_epi8(' ', kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, '\t', '\n',
                         kNone, kNone, '\r', kNone, kNone, ' ', kNone, kNone, kNone, kNone, kNone,
                         kNone, kNone, kNone, '\t', '\n', kNone, kNone, '\r', kNone, kNone);
    const __m256i structural =
        _mm256_setr_epi8(kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, ':',
                         '{', ',', '}', kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
                         kNone, kNone, kNone, kNone, ':', '{', ',', '}', kNone, kNone);
    std::uint64_t structure = 0;
    std::uint64_t bit6 = 0;
    std::uint64_t bit1 = 0;
    BlockKinds kinds;
    for (unsigned half = 0; half < 64; half += 32) {
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pBlock + half));
        kinds.quote |= bitsOf(_mm256_cmpeq_epi8(b, _mm256_set1_epi8('"'))) << half;
        const __m256i control = _mm256_cmpeq_epi8(_mm256_min_epu8(b, _mm256_set1_epi8(0x1F)), b);
        kinds.stringFault |=
            bitsOf(_mm256_or_si256(control, _mm256_cmpeq_epi8(b, _mm256_set1_epi8('\\')))) << half;
        kinds.blank |= bitsOf(_mm256_cmpeq_epi8(_mm256_shuffle_epi8(blanks, b), b)) << half;
        structure |= bitsOf(_mm256_cmpeq_epi8(_mm256_shuffle_epi8(structural, b), b)) << half;
        bit6 |= bitsOf(_mm256_slli_epi16(b, 1)) << half;
        bit1 |= bitsOf(_mm256_slli_epi16(b, 6)) << half;
        const __m256i lower = _mm256_set1_epi8(0x20);
        const __m256i tail =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pBlock + half + pTerm.span));
        const __m256i ends =
            _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(b, lower), pTerm.first),
                             _mm256_cmpeq_epi8(_mm256_or_si256(tail, lower), pTerm.last));
        kinds.mayStartTerm |= bitsOf(_mm256_or_si256(ends, b)) << half;
        // 't' is 'u' with its lowest bit clear.
        const __m256i next =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pBlock + half + 1));
        kinds.beforeTOrU |= bitsOf(_mm256_cmpeq_epi8(_mm256_or_si256(next, _mm256_set1_epi8(1)),
                                                     _mm256_set1_epi8('u')))
                            << half;
    }
    // ':' 0x3A, ',' 0x2C, '{' 0x7B, '}' 0x7D.
    kinds.colon = structure & ~bit6 & bit1;
    kinds.comma = structure & ~bit6 & ~bit1;
    kinds.opening = structure & bit6 & bit1;
    kinds.closing = structure & bit6 & ~bit1;
    return kinds;
}

// Each bit set with every bit below it xored in, as a carry-less product
// with all ones: from the quotes, the bytes from an opening quote up to its
// closing one.
[[gnu::target("avx2,pclmul")]] std::uint64_t prefixXor(std::uint64_t pBits) {
    const __m128i product = _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(pBits)),
                                                 _mm_set1_epi8(-1), 0);
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(product));
}

// A sum carried from block to block, as if the blocks were one long number.
class CarriedSum {
  public:
    [[gnu::target("avx2,pclmul")]] std::uint64_t add(std::uint64_t a, std::uint64_t b) {
        unsigned long long sum;
        carry_ = _addcarry_u64(carry_, a, b, &sum);
        return sum;
    }

  private:
    unsigned char carry_ = 0;
};

// For bytes of one kind, the byte each is followed by once blanks are passed:
// the byte after each, added to the run of blanks it starts, carries to the
// run's end.
class Following {
  public:
    [[gnu::target("avx2,pclmul")]] std::uint64_t of(std::uint64_t bytes, std::uint64_t blanks) {
        const std::uint64_t next = bytes << 1 | top_;
        top_ = bytes >> 63;
        return sum_.add(next, blanks) & ~blanks;
    }

  private:
    std::uint64_t top_ = 0;
    CarriedSum sum_;
};

// Reads a key of the node's own at pAt: "type" with a string value sets
// pNode.isUrl, "url" with one pNode.hasUrl. Values of other kinds leave them,
// as the token reader does.
void readOwnKey(std::string_view pText, std::size_t pAt, PlainNode& pNode) {
    const std::string_view key = pText.substr(pAt);
    const bool type = key.starts_with("\"type\"");
    if (!type && !key.starts_with("\"url\"")) {
        return;
    }
    const auto blank = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
    std::size_t at = pAt + (type ? 6 : 5);
    while (at < pText.size() && (blank(pText[at]) || pText[at] == ':')) {
        ++at;
    }
    const std::string_view value = pText.substr(std::min(at, pText.size()));
    if (!value.starts_with('"')) {
        return;
    }
    if (type) {
        pNode.isUrl = value.starts_with("\"url\"");
    } else {
        pNode.hasUrl = true;
    }
}

[[gnu::target("avx2,pclmul")]] TermLanes lanesOf(const std::string& pTerm) {
    const bool ascii = std::all_of(pTerm.begin(), pTerm.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii || pTerm.empty()) {
        // Only bytes outside ASCII can start it; 0x80 is one of them.
        return {_mm256_set1_epi8(static_cast<char>(0x80)),
                _mm256_set1_epi8(static_cast<char>(0x80)), 0};
    }
    return {_mm256_set1_epi8(static_cast<char>(pTerm.front() | 0x20)),
            _mm256_set1_epi8(static_cast<char>(pTerm.back() | 0x20)), pTerm.size() - 1};
}

// Whether a place marked in pMarks, at pAt and on, is a candidate.
bool holdsCandidate(std::string_view pText, std::size_t pAt, std::uint64_t pMarks,
                    const MatchPrefilter& pTerm) {
    for (; pMarks != 0; pMarks &= pMarks - 1) {
        if (pTerm.isCandidate(pText, pAt + static_cast<std::size_t>(std::countr_zero(pMarks)))) {
            return true;
        }
    }
    return false;
}

[[gnu::target("avx2,pclmul")]] PlainNode readWide(std::string_view pText,
                                                  const MatchPrefilter& pTerm) {
    PlainNode node;
    const TermLanes lanes = lanesOf(pTerm.term());
    const std::size_t limit = std::min(pText.size(), kMaxPlainNodeBytes);
    std::uint64_t inString = 0; // all ones when a string goes on into the next block
    Following afterKeyStart;    // a comma or an opening, followed by a key
    Following afterColon;       // followed by a value
    Following afterKey;         // followed by its colon
    Following afterValue;       // a value's end, followed by a comma or a closing
    CarriedSum keyEnds;
    std::size_t depth = 0;
    // The bytes a block's kinds are told from: its own and those after it up
    // to the term's last byte, at least one.
    const std::size_t reach = 64 + std::max<std::size_t>(lanes.span, 1);
    for (std::size_t at = 0; at < limit && pText.size() - at >= reach; at += 64) {
        const BlockKinds kinds = kindsOf(pText.data() + at, lanes);
        const std::uint64_t strings = prefixXor(kinds.quote) ^ inString;
        inString = 0 - (strings >> 63);
        const std::uint64_t outside = ~strings;
        const std::uint64_t opens = kinds.quote & strings;
        const std::uint64_t closes = kinds.quote & outside;
        const std::uint64_t blanks = kinds.blank & outside;
        const std::uint64_t colons = kinds.colon & outside;
        const std::uint64_t commas = kinds.comma & outside;
        const std::uint64_t openings = kinds.opening & outside;
        const std::uint64_t closings = kinds.closing & outside;

        const std::uint64_t keyPlaces = afterKeyStart.of(commas | openings, blanks);
        const std::uint64_t valuePlaces = afterColon.of(colons, blanks);
        const std::uint64_t keys = opens & keyPlaces;
        // A key's start, added to its string's run of bits, carries to its end.
        const std::uint64_t keyCloses = keyEnds.add(keys, strings) & closes;
        const std::uint64_t afterKeys = afterKey.of(keyCloses, blanks);
        const std::uint64_t afterValues = afterValue.of((closes & ~keyCloses) | closings, blanks);
        const std::uint64_t faults =
            (keyPlaces & ~opens) | (valuePlaces & ~(opens | openings)) | (afterKeys & ~colons) |
            (afterValues & ~(commas | closings)) |
            (outside & ~blanks & ~(closes | colons | commas | openings | closings)) |
            (kinds.stringFault & strings);

        // Only keys that may be "type" or "url" are looked at.
        for (std::uint64_t marks = openings | closings | (keys & kinds.beforeTOrU); marks != 0;
             marks &= marks - 1) {
            const auto bit = static_cast<unsigned>(std::countr_zero(marks));
            const std::uint64_t mark = std::uint64_t{1} << bit;
            if ((mark & openings) != 0) {
                if (++depth > kMaxPlainNodeDepth) {
                    return {};
                }
                node.depth = std::max(node.depth, depth);
            } else if ((mark & closings) != 0) {
                if (--depth == 0) {
                    const std::size_t end = at + bit;
                    const std::uint64_t inNode = mark | (mark - 1);
                    if ((faults & inNode) != 0) {
                        return {};
                    }
                    if (holdsCandidate(pText, at, kinds.mayStartTerm & inNode, pTerm)) {
                        return {.holdsCandidate = true};
                    }
                    node.length = end + 1;
                    return node;
                }
            } else if (depth == 1) {
                readOwnKey(pText, at + bit, node);
            }
        }
        if (faults != 0) {
            return {};
        }
        if (holdsCandidate(pText, at, kinds.mayStartTerm, pTerm)) {
            return {.holdsCandidate = true};
        }
    }
    return {};
}

} // namespace

bool fnReadsPlainNodes() {
    static const bool reads = platform::hasWideBlocks() && __builtin_cpu_supports("pclmul");
    return reads;
}

PlainNode fnReadPlainNode(std::string_view pText, const MatchPrefilter& pTerm) {
    return fnReadsPlainNodes() ? readWide(pText, pTerm) : PlainNode{};
}

#else

bool fnReadsPlainNodes() {
    return false;
}

PlainNode fnReadPlainNode(std::string_view, const MatchPrefilter&) {
    return {};
}

#endif

} // namespace zaptrove
