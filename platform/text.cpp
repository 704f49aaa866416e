// SPDX-License-Identifier: MIT
#include "platform/text.h"

#include "platform/accent_folding.h"
#include "platform/code_point_case.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <iterator>

namespace zaptrove::platform {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five unassigned ones map to the C1
// control of the same value, as Windows itself does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one well-formed UTF-8 sequence at text[i]; answers its length, or 0
// when the bytes there are not well-formed.
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& cp) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - i < length) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return length;
}

// Sixteen bytes at a time; GCC and Clang map these operations to the
// machine's vector instructions.
using Block = unsigned char __attribute__((vector_size(16)));

Block loadBlock(const char* p) {
    Block block;
    __builtin_memcpy(&block, p, sizeof block);
    return block;
}

// One bit for each of the eight lanes from lane 8 * word on whose top bit is set
// (all of a comparison's true lanes), the first lane lowest.
template <typename Lanes> std::uint64_t laneBits(const Lanes& lanes, std::size_t word) {
    std::uint64_t bits;
    __builtin_memcpy(&bits, reinterpret_cast<const char*>(&lanes) + 8 * word, sizeof bits);
    if constexpr (std::endian::native == std::endian::big) {
        bits = __builtin_bswap64(bits);
    }
    return bits & 0x8080808080808080ULL;
}

template <typename Lanes> bool anyLane(const Lanes& lanes) {
    return (laneBits(lanes, 0) | laneBits(lanes, 1)) != 0;
}

bool isAsciiBlock(const char* p) {
    return !anyLane(loadBlock(p));
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// True when a byte outside ASCII stands at text[at], or an occurrence of the
// (ASCII) term, letter case ignored, starts there.
bool isMatchCandidate(std::string_view text, std::size_t at, std::string_view term,
                      bool asciiTerm) {
    if (static_cast<unsigned char>(text[at]) >= 0x80) {
        return true;
    }
    if (!asciiTerm || text.size() - at < term.size()) {
        return false;
    }
    for (std::size_t k = 0; k < term.size(); ++k) {
        if (asciiLower(text[at + k]) != term[k]) {
            return false;
        }
    }
    return true;
}

// Appends text with every character outside ASCII replaced by map(character)
// (nothing when map answers 0) and ASCII lower-cased.
template <typename Map> void appendMapped(std::string_view text, std::string& out, Map map) {
    out.reserve(out.size() + text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t asciiEnd = i;
        while (asciiEnd < text.size() && static_cast<unsigned char>(text[asciiEnd]) < 0x80) {
            ++asciiEnd;
        }
        std::transform(text.begin() + i, text.begin() + asciiEnd, std::back_inserter(out),
                       asciiLower);
        i = asciiEnd;
        if (i == text.size()) {
            break;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(text, i, cp);
        if (length == 0) {
            // A stray byte (a file name that is not UTF-8) is kept as it is.
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        if (const char32_t mapped = map(cp); mapped != 0) {
            appendUtf8(mapped, out);
        }
        i += length;
    }
}

// Accents dropped, then lower-cased.
char32_t foldCodePoint(char32_t cp) {
    const char32_t base = withoutAccents(cp);
    return base == 0 ? 0 : lowerCodePoint(base);
}

} // namespace

std::string lowerCase(std::string_view text) {
    std::string out;
    appendLowerCase(text, out);
    return out;
}

void lowerCaseInto(std::string_view text, std::string& out) {
    out.clear();
    appendLowerCase(text, out);
}

void appendLowerCase(std::string_view text, std::string& out) {
    appendMapped(text, out, lowerCodePoint);
}

std::string foldAccents(std::string_view text) {
    std::string out;
    appendMapped(text, out, foldCodePoint);
    return out;
}

namespace {

// What findMatchCandidate looks for. Both letter cases of the term's first and
// last bytes look the same with bit 5 set; a term outside ASCII gets 0x80, which
// no byte so marked equals, so that only bytes outside ASCII are candidates.
struct CandidateSearch {
    explicit CandidateSearch(std::string_view loweredTerm)
        : term(loweredTerm), asciiTerm(isAscii(term)),
          first(asciiTerm ? term.front() | 0x20 : 0x80),
          last(asciiTerm ? term.back() | 0x20 : 0x80), span(asciiTerm ? term.size() - 1 : 0) {}

    std::string_view term;
    bool asciiTerm;
    unsigned char first;
    unsigned char last;
    std::size_t span; // from the first byte to the last
};

// The lanes of the block at `at` that may start a candidate.
auto candidateLanes(std::string_view text, const CandidateSearch& search, std::size_t at) {
    const Block head = loadBlock(text.data() + at);
    const Block tail = loadBlock(text.data() + at + search.span);
    return (((head | 0x20) == search.first) & ((tail | 0x20) == search.last)) | (head >= 0x80);
}

} // namespace

std::size_t findMatchCandidate(std::string_view text, std::string_view loweredTerm,
                               std::size_t from) {
    if (loweredTerm.empty()) {
        return from <= text.size() ? from : std::string_view::npos;
    }
    const CandidateSearch search(loweredTerm);
    // Four blocks at a time are tested together; most hold no candidate at all.
    constexpr std::size_t kStride = 4 * sizeof(Block);
    std::size_t at = from;
    for (; at + search.span + kStride <= text.size(); at += kStride) {
        if (!anyLane(candidateLanes(text, search, at) |
                     candidateLanes(text, search, at + sizeof(Block)) |
                     candidateLanes(text, search, at + 2 * sizeof(Block)) |
                     candidateLanes(text, search, at + 3 * sizeof(Block)))) {
            continue;
        }
        for (std::size_t part = 0; part < kStride / 8; ++part) {
            const std::size_t base = at + part / 2 * sizeof(Block);
            for (std::uint64_t bits = laneBits(candidateLanes(text, search, base), part % 2);
                 bits != 0; bits &= bits - 1) {
                const std::size_t candidate = base + 8 * (part % 2) + std::countr_zero(bits) / 8;
                if (isMatchCandidate(text, candidate, search.term, search.asciiTerm)) {
                    return candidate;
                }
            }
        }
    }
    for (; at < text.size(); ++at) {
        if (isMatchCandidate(text, at, search.term, search.asciiTerm)) {
            return at;
        }
    }
    return std::string_view::npos;
}

namespace {

// True when the text, mapped by appendMapped with map, contains mappedTerm. A
// term that a candidate in ASCII starts is found there as it is (map leaves
// ASCII to the lower-casing); text outside ASCII is mapped into scratch.
template <typename Map>
bool containsMapped(std::string_view text, std::string_view mappedTerm, std::string& scratch,
                    Map map) {
    if (mappedTerm.empty()) {
        return true;
    }
    const std::size_t at = findMatchCandidate(text, mappedTerm, 0);
    if (at == std::string_view::npos) {
        return false;
    }
    if (static_cast<unsigned char>(text[at]) < 0x80) {
        return true; // an occurrence in ASCII, which lower-cases byte by byte
    }
    scratch.clear();
    appendMapped(text, scratch, map);
    return scratch.find(mappedTerm) != std::string::npos;
}

} // namespace

bool containsLowered(std::string_view text, std::string_view loweredTerm, std::string& scratch) {
    return containsMapped(text, loweredTerm, scratch, lowerCodePoint);
}

bool containsFolded(std::string_view text, std::string_view foldedTerm, std::string& scratch) {
    return containsMapped(text, foldedTerm, scratch, foldCodePoint);
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (bytes.size() - i >= sizeof(Block) && isAsciiBlock(bytes.data() + i)) {
            i += sizeof(Block);
            continue;
        }
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(bytes, i, cp);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string_view decodeFileBytes(std::string_view bytes, std::string& decoded) {
    if (isValidUtf8(bytes)) {
        if (bytes.starts_with("\xEF\xBB\xBF")) {
            bytes.remove_prefix(3);
        }
        return bytes;
    }
    decoded.clear();
    appendWindows1252(bytes, decoded);
    return decoded;
}

void appendWindows1252(std::string_view bytes, std::string& out) {
    out.reserve(out.size() + bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else if (c < 0xA0) {
            appendUtf8(kCp1252High[c - 0x80], out);
        } else {
            appendUtf8(c, out);
        }
    }
}

std::string decodeFileBytes(std::string bytes) {
    std::string decoded;
    const std::string_view text = decodeFileBytes(bytes, decoded);
    if (text.data() == decoded.data()) {
        return decoded;
    }
    bytes.erase(0, bytes.size() - text.size()); // a byte-order mark
    return bytes;
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        if (cp >= 0x80) {
            length = decodeUtf8(text, i, cp);
            if (length == 0) {
                cp = 0xFFFD;
                length = 1;
            }
        }
        if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += length;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(cp, out);
    }
    return out;
}

} // namespace zaptrove::platform
