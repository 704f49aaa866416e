// SPDX-License-Identifier: MIT
#include "text/text.h"

#include "text/accent_folding.h"
#include "text/byte_blocks.h"
#include "text/code_point_case.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

namespace zaptrove::platform {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five unassigned ones map to the C1
// control of the same value, as Windows itself does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

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

// Writes the UTF-8 form of a code point at out; answers where it ends.
char* writeUtf8(char32_t cp, char* out) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

bool isAsciiBlock(const char* p) {
    return !anyLane(loadBlock(p));
}

// Writes the block of ASCII at from to `to` with its letters lower-cased.
void lowerAsciiBlock(const char* from, char* to) {
    const Block block = loadBlock(from);
    const Block upper = __builtin_bit_cast(Block, (block >= 'A') & (block <= 'Z'));
    const Block lowered = block | (upper & 0x20);
    std::memcpy(to, &lowered, sizeof lowered);
}

// Copies the ASCII text from..from + size to `to` with its letters lower-cased,
// a block at a time; a text of a block or more ends with the block that ends
// it, which writes some bytes again as they were written.
void lowerAscii(const char* from, std::size_t size, char* to) {
    if (size < sizeof(Block)) {
        std::transform(from, from + size, to, asciiLower);
        return;
    }
    for (std::size_t k = 0; size - k > sizeof(Block); k += sizeof(Block)) {
        lowerAsciiBlock(from + k, to + k);
    }
    lowerAsciiBlock(from + size - sizeof(Block), to + size - sizeof(Block));
}

// Where the run of ASCII bytes from `from` on ends: a block at a time, and
// when fewer than a block are left of a run a block long or more, the block
// that ends the text tells them at once.
std::size_t asciiRunEnd(std::string_view text, std::size_t from) {
    std::size_t end = from;
    while (text.size() - end >= sizeof(Block) && isAsciiBlock(text.data() + end)) {
        end += sizeof(Block);
    }
    if (text.size() - end < sizeof(Block) && text.size() - from >= sizeof(Block) &&
        isAsciiBlock(text.data() + text.size() - sizeof(Block))) {
        return text.size();
    }
    while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) {
        ++end;
    }
    return end;
}

// Appends text with ASCII lower-cased and every character outside ASCII handed
// to append(character, out), which appends what stands for it (any length).
template <typename Append>
void appendMapped(std::string_view text, std::string& out, Append append) {
    out.reserve(out.size() + text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t asciiEnd = asciiRunEnd(text, i);
        const std::size_t outEnd = out.size();
        out.resize(outEnd + (asciiEnd - i));
        lowerAscii(text.data() + i, asciiEnd - i, out.data() + outEnd);
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
        append(cp, out);
        i += length;
    }
}

void appendLowerCodePoint(char32_t cp, std::string& out) {
    appendUtf8(lowerCodePoint(cp), out);
}

// Written out in plain letters, or accents dropped, then lower-cased; a
// combining mark gives nothing.
void appendFoldedCodePoint(char32_t cp, std::string& out) {
    if (const std::string_view plain = plainSpelling(cp); !plain.empty()) {
        out += plain;
    } else if (const char32_t base = withoutAccents(cp); base != 0) {
        appendUtf8(lowerCodePoint(base), out);
    }
}

} // namespace

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

bool precedesIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto less = [](char x, char y) {
        return static_cast<unsigned char>(asciiLower(x)) <
               static_cast<unsigned char>(asciiLower(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), less)) {
        return true;
    }
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), less)) {
        return false;
    }
    return a < b;
}

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
    appendMapped(text, out, appendLowerCodePoint);
}

std::string foldAccents(std::string_view text) {
    std::string out;
    foldAccentsInto(text, out);
    return out;
}

void foldAccentsInto(std::string_view text, std::string& out) {
    out.clear();
    appendMapped(text, out, appendFoldedCodePoint);
}

std::string_view cutBeforeCharacter(std::string_view pText, std::size_t pMaxBytes) {
    if (pText.size() <= pMaxBytes) {
        return pText;
    }
    std::size_t end = pMaxBytes;
    while (end > 0 && (static_cast<unsigned char>(pText[end]) & 0xC0) == 0x80) {
        --end;
    }
    return pText.substr(0, end);
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

std::string_view utf8OrWindows1252(std::string_view bytes, std::string& decoded) {
    if (isValidUtf8(bytes)) {
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
    if (utf16ByteOrder(bytes)) {
        utf16WithMarkAsUtf8(bytes, decoded);
        return decoded;
    }
    if (!isValidUtf8(bytes)) {
        appendWindows1252(bytes, decoded);
        return decoded;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.erase(0, 3);
    }
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
    std::string out(Utf16Decoder::maxUtf8Bytes(2 * text.size()), '\0');
    Utf16Decoder decoder(ByteOrder::LittleEndian);
    char* end = out.data();
    for (const char16_t unit : text) {
        end = decoder.appendUnit(unit, end);
    }
    out.resize(decoder.finish(end) - out.data());
    return out;
}

std::optional<ByteOrder> utf16ByteOrder(std::string_view firstBytes) {
    if (firstBytes.starts_with("\xFF\xFE")) {
        return ByteOrder::LittleEndian;
    }
    if (firstBytes.starts_with("\xFE\xFF")) {
        return ByteOrder::BigEndian;
    }
    return std::nullopt;
}

std::string_view utf16WithMarkAsUtf8(std::string_view bytes, std::string& decoded) {
    const std::optional<ByteOrder> order = utf16ByteOrder(bytes);
    if (!order) {
        return bytes;
    }
    bytes.remove_prefix(2);
    decoded.resize(Utf16Decoder::maxUtf8Bytes(bytes.size()));
    Utf16Decoder decoder(*order);
    decoded.resize(decoder.finish(decoder.append(bytes, decoded.data())) - decoded.data());
    return decoded;
}

char16_t Utf16Decoder::unitAt(const char* bytes) const {
    const auto first = static_cast<unsigned char>(bytes[0]);
    const auto second = static_cast<unsigned char>(bytes[1]);
    return static_cast<char16_t>(order_ == ByteOrder::LittleEndian ? first | second << 8
                                                                   : first << 8 | second);
}

char* Utf16Decoder::append(std::string_view bytes, char* out) {
    std::size_t i = 0;
    if (cutUnit_ && !bytes.empty()) {
        const char unit[] = {*cutUnit_, bytes[0]};
        out = appendUnit(unitAt(unit), out);
        cutUnit_.reset();
        i = 1;
    }
    for (; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = unitAt(bytes.data() + i);
        if (unit < 0x80 && highSurrogate_ == 0) {
            *out++ = static_cast<char>(unit); // most text: ASCII
        } else {
            out = appendUnit(unit, out);
        }
    }
    if (i < bytes.size()) {
        cutUnit_ = bytes[i];
    }
    return out;
}

char* Utf16Decoder::appendUnit(char16_t unit, char* out) {
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (highSurrogate_ != 0) {
        const char16_t pending = std::exchange(highSurrogate_, 0);
        if (low) {
            return writeUtf8(0x10000 + ((pending - 0xD800) << 10) + (unit - 0xDC00), out);
        }
        out = writeUtf8(0xFFFD, out);
    }
    if (high) {
        highSurrogate_ = unit;
        return out;
    }
    return writeUtf8(low ? 0xFFFD : unit, out);
}

char* Utf16Decoder::finish(char* out) {
    for (const bool unfinished : {highSurrogate_ != 0, cutUnit_.has_value()}) {
        if (unfinished) {
            out = writeUtf8(0xFFFD, out);
        }
    }
    highSurrogate_ = 0;
    cutUnit_.reset();
    return out;
}

void appendUtf8(char32_t cp, std::string& out) {
    char bytes[4];
    out.append(bytes, writeUtf8(cp, bytes));
}

} // namespace zaptrove::platform
