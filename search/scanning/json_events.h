// SPDX-License-Identifier: MIT
#pragma once

#include "platform/files.h"
#include "text/byte_blocks.h"
#include "text/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zaptrove {

// Reads JSON text chunk by chunk and reports what it holds to a handler as it
// goes: StartObject(), Key(text, whole), EndObject(), StartArray(), EndArray(),
// String(text, whole) for a string value and Scalar() for a number, true,
// false or null. A handler may also have WholeObject(chunk, offset), asked at
// each object's '{' with the chunk's bytes from there on: the length of the
// object it took whole from them, as if its events had been reported, or 0 to
// have them reported. Keys and strings are decoded only when the handler asks for
// them (wantsKey(), wantsString()); the others are checked and passed over
// where they lie, with no copy. A handler call that answers false ends the
// reading.
//
// Memory does not grow with one string: a key is kept up to its first
// kMaxJsonKeyBytes, a string value up to its first kMaxJsonStringBytes (cut
// where a character ends), the rest checked and passed over; whole is false
// for a text so cut.
//
// pChunks.next() gives the text's next chunk, empty at its end; a chunk stays
// valid until the next call. Answers the byte offset at which the text stops
// being JSON (or the handler ended it), or nothing when it was read whole.
// Open objects and arrays are kept on a stack of their own, never on the call
// stack.
template <typename Chunks, typename Handler>
std::optional<std::size_t> fnParseJson(Chunks& pChunks, Handler& pHandler);

// The whole text as one chunk.
class JsonWholeText {
  public:
    explicit JsonWholeText(std::string_view text) : text_(text) {}
    std::string_view next() { return std::exchange(text_, std::string_view()); }

  private:
    std::string_view text_;
};

// A file read in chunks through one buffer reused for the whole read.
class JsonFileChunks {
  public:
    JsonFileChunks(platform::FileReader& file, std::string& buffer)
        : file_(file), buffer_(buffer) {}
    std::string_view next() {
        const std::optional<std::size_t> got = file_.readNext(buffer_.data(), buffer_.size());
        readFailed_ = readFailed_ || !got;
        return {buffer_.data(), got.value_or(0)};
    }
    bool readFailed() const { return readFailed_; }

  private:
    platform::FileReader& file_;
    std::string& buffer_;
    bool readFailed_ = false;
};

// Longer than any key a reader looks for.
inline constexpr std::size_t kMaxJsonKeyBytes = 256;
// The longest address Chromium takes.
inline constexpr std::size_t kMaxJsonStringBytes = std::size_t{2} << 20;

namespace json_detail {

// Drops a character the end of text cuts.
inline void dropCutCharacter(std::string& text) {
    std::size_t lead = text.size();
    while (lead > 0 && text.size() - lead < 4 && (text[lead - 1] & 0xC0) == 0x80) {
        --lead;
    }
    if (lead == 0) {
        return;
    }
    const auto first = static_cast<unsigned char>(text[lead - 1]);
    const std::size_t length = first < 0xC0 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
    if (lead - 1 + length > text.size()) {
        text.resize(lead - 1);
    }
}

// The lanes of a block that end a string's plain run: a quote, a backslash or
// a control character.
inline platform::Block stringStops(const platform::Block& block) {
    return (block == '"') | (block == '\\') | (block < 0x20);
}

// The first byte from at on that ends a string's plain run.
inline const char* stringStop(const char* at, const char* end) {
    for (; end - at >= 16; at += 16) {
        if (const unsigned stops = platform::laneMask(stringStops(platform::loadBlock(at)))) {
            return at + std::countr_zero(stops);
        }
    }
    while (at != end && *at != '"' && *at != '\\' && static_cast<unsigned char>(*at) >= 0x20) {
        ++at;
    }
    return at;
}

inline bool isBlank(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

inline platform::Block nonBlanks(const platform::Block& block) {
    return ~((block == ' ') | (block == '\n') | (block == '\r') | (block == '\t'));
}

// Whether pTest picks none of the pRun bytes at pAt and picks the byte after
// them, in the 16 * kBlocks bytes from pAt (pRun below that).
template <int kBlocks, typename Test>
bool runEndsAt(const char* pAt, std::size_t pRun, const Test& pTest) {
    std::uint64_t picked = 0;
    for (std::ptrdiff_t i = 0; i < kBlocks; ++i) {
        picked |= std::uint64_t{platform::laneMask(pTest(platform::loadBlock(pAt + 16 * i)))}
                  << (16 * i);
    }
    return (picked & ((std::uint64_t{2} << pRun) - 1)) == std::uint64_t{1} << pRun;
}

inline const char* firstNonBlank(const char* at, const char* end) {
    if (at == end || !isBlank(*at)) {
        return at;
    }
    for (; end - at >= 16; at += 16) {
        if (const unsigned others = platform::laneMask(nonBlanks(platform::loadBlock(at)))) {
            return at + std::countr_zero(others);
        }
    }
    while (at != end && isBlank(*at)) {
        ++at;
    }
    return at;
}

// The text as it comes through the chunks, with its offset in the whole.
template <typename Chunks> class Text {
  public:
    explicit Text(Chunks& chunks) : chunks_(chunks) {}

    // The next byte, or -1 at the end of the text.
    int peek() {
        if (at_ == end_ && !refill()) {
            return -1;
        }
        return static_cast<unsigned char>(*at_);
    }
    // Passes the byte peek() showed.
    void take() { ++at_; }

    // Passes the ": " most keys are followed by, when the chunk holds it and a
    // value's first byte after it; false, having passed nothing, otherwise.
    bool takeColonSpace() {
        if (end_ - at_ < 3 || at_[0] != ':' || at_[1] != ' ' || isBlank(at_[2])) {
            return false;
        }
        at_ += 2;
        return true;
    }
    std::size_t offset() const { return before_ + static_cast<std::size_t>(at_ - begin_); }

    // The chunk's bytes from here on, and a way past the first pCount of them.
    std::string_view rest() const { return {at_, static_cast<std::size_t>(end_ - at_)}; }
    void pass(std::size_t pCount) { at_ += pCount; }

    // Goes to pOffset: in the chunk at hand when it holds it, else from the
    // chunks' own skipTo(pOffset) on.
    void jumpTo(std::size_t pOffset) {
        if (pOffset >= before_ && pOffset - before_ <= static_cast<std::size_t>(end_ - begin_)) {
            at_ = begin_ + (pOffset - before_);
            return;
        }
        chunks_.skipTo(pOffset);
        before_ = pOffset;
        begin_ = at_ = end_ = nullptr;
    }

    // As skipBlanks(), first taking pGuess blanks when that many lie here:
    // the reading goes on from there while the test runs, instead of waiting
    // for the scan. Most lines of a pretty-printed file are indented as the
    // line before them.
    void skipBlanks(std::uint8_t& pGuess) {
        if (end_ - at_ >= 32 && runEndsAt<2>(at_, pGuess, nonBlanks)) {
            at_ += pGuess;
            return;
        }
        const std::size_t from = offset();
        skipBlanks();
        if (const std::size_t count = offset() - from; count < 32) {
            pGuess = static_cast<std::uint8_t>(count);
        }
    }
    void skipBlanks() {
        for (;;) {
            at_ = firstNonBlank(at_, end_);
            if (at_ != end_ || !refill()) {
                return;
            }
        }
    }

    // As string(), with the decoded text in pText: the chunk's own bytes when
    // the string lies whole in the chunk without escapes (most do), so that
    // nothing is copied; pOut otherwise. pText lasts until the next read.
    bool stringView(bool pKeep, std::size_t pLimit, std::string& pOut, std::string_view& pText,
                    bool& pWhole, std::size_t& pErrorAt) {
        const char* const stop = stringStop(at_, end_);
        if (stop != end_ && *stop == '"' && static_cast<std::size_t>(stop - at_) <= pLimit) {
            pText = std::string_view(at_, static_cast<std::size_t>(stop - at_));
            pWhole = true;
            at_ = stop + 1;
            return true;
        }
        pText = {};
        if (!string(pKeep, pLimit, pOut, pWhole, pErrorAt)) {
            return false;
        }
        pText = pOut;
        return true;
    }

    // A key: as stringView(), first taking it as pGuess bytes long when it
    // is, in the manner of skipBlanks(pGuess); keys come in the same order
    // in every node.
    bool keyView(bool pKeep, std::string& pOut, std::string_view& pText, bool& pWhole,
                 std::size_t& pErrorAt, std::uint8_t& pGuess) {
        if (end_ - at_ >= 16 && runEndsAt<1>(at_, pGuess, stringStops) && at_[pGuess] == '"') {
            pText = std::string_view(at_, pGuess);
            pWhole = true;
            at_ += pGuess + 1;
            return true;
        }
        const std::size_t from = offset();
        if (!stringView(pKeep, kMaxJsonKeyBytes, pOut, pText, pWhole, pErrorAt)) {
            return false;
        }
        if (const std::size_t count = offset() - from - 1; count < 16) {
            pGuess = static_cast<std::uint8_t>(count);
        }
        return true;
    }

    // Reads a string whose opening quote was taken, up to its closing quote;
    // when pKeep, decodes its first pLimit bytes into pOut, pWhole telling
    // whether that is all of it. False, with pErrorAt set, for a string that
    // is not valid or not closed.
    bool string(bool pKeep, std::size_t pLimit, std::string& pOut, bool& pWhole,
                std::size_t& pErrorAt) {
        pOut.clear();
        pWhole = true;
        for (;;) {
            const char* stop = stringStop(at_, end_);
            if (pKeep) {
                const std::size_t room = pLimit - std::min(pLimit, pOut.size());
                const auto run = static_cast<std::size_t>(stop - at_);
                pOut.append(at_, std::min(run, room));
                if (run > room) {
                    pWhole = false;
                    pKeep = false;
                }
            }
            at_ = stop;
            if (at_ == end_) {
                if (refill()) {
                    continue;
                }
                pErrorAt = offset(); // not closed
                return false;
            }
            const char c = *at_;
            if (c == '"') {
                take();
                if (pOut.size() > pLimit) { // an escape's bytes went past it
                    pOut.resize(pLimit);
                    pWhole = false;
                }
                if (!pWhole) {
                    dropCutCharacter(pOut);
                }
                return true;
            }
            if (c != '\\') {
                pErrorAt = offset(); // a control character
                return false;
            }
            const std::size_t escapeAt = offset();
            take();
            if (!escape(pKeep, pOut)) {
                pErrorAt = escapeAt;
                return false;
            }
        }
    }

    // Passes over the rest of a word (true, false, null) whose first byte was taken.
    bool word(std::string_view pRest) {
        for (const char expected : pRest) {
            if (peek() != expected) {
                return false;
            }
            take();
        }
        return true;
    }

    // Passes over a number: a minus, an integer part without leading zeros, a
    // fraction and an exponent. False, with pErrorAt set, where it is not one.
    bool number(std::size_t& pErrorAt) {
        if (peek() == '-') {
            take();
        }
        if (peek() == '0') {
            take();
        } else if (!digits()) {
            pErrorAt = offset();
            return false;
        }
        if (peek() == '.') {
            take();
            if (!digits()) {
                pErrorAt = offset();
                return false;
            }
        }
        if (peek() == 'e' || peek() == 'E') {
            take();
            if (peek() == '+' || peek() == '-') {
                take();
            }
            if (!digits()) {
                pErrorAt = offset();
                return false;
            }
        }
        return true;
    }

  private:
    bool refill() {
        before_ += static_cast<std::size_t>(end_ - begin_);
        const std::string_view next = chunks_.next();
        begin_ = at_ = next.data();
        end_ = begin_ + next.size();
        return !next.empty();
    }

    // At least one digit; false when none comes.
    bool digits() {
        bool any = false;
        for (int c = peek(); c >= '0' && c <= '9'; c = peek()) {
            take();
            any = true;
        }
        return any;
    }

    bool hex4(unsigned& pValue) {
        pValue = 0;
        for (int i = 0; i < 4; ++i) {
            const int c = peek();
            unsigned digit;
            if (c >= '0' && c <= '9') {
                digit = static_cast<unsigned>(c - '0');
            } else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
                digit = static_cast<unsigned>((c | 0x20) - 'a' + 10);
            } else {
                return false;
            }
            take();
            pValue = pValue * 16 + digit;
        }
        return true;
    }

    static bool isSurrogate(unsigned pCodePoint) {
        return pCodePoint >= 0xD800 && pCodePoint <= 0xDFFF;
    }

    // The code point of a \u escape just read. A high surrogate takes the low
    // one whose escape follows; a surrogate without its other half becomes
    // U+FFFD, and what follows it is read as it comes.
    bool unicodeEscape(unsigned pCodePoint, bool pKeep, std::string& pOut) {
        const auto put = [&](unsigned codePoint) {
            if (pKeep) {
                platform::appendUtf8(isSurrogate(codePoint) ? 0xFFFD : codePoint, pOut);
            }
        };
        for (;;) {
            const bool high = pCodePoint >= 0xD800 && pCodePoint <= 0xDBFF;
            if (!high || peek() != '\\') {
                put(pCodePoint);
                return true;
            }
            take();
            if (peek() != 'u') {
                put(0xFFFD);
                return escape(pKeep, pOut);
            }
            take();
            unsigned low;
            if (!hex4(low)) {
                return false;
            }
            if (low >= 0xDC00 && low <= 0xDFFF) {
                put((((pCodePoint - 0xD800) << 10) | (low - 0xDC00)) + 0x10000);
                return true;
            }
            put(0xFFFD);
            pCodePoint = low;
        }
    }

    // An escape whose backslash was taken.
    bool escape(bool pKeep, std::string& pOut) {
        const int e = peek();
        char plain;
        switch (e) {
        case '"':
        case '\\':
        case '/':
            plain = static_cast<char>(e);
            break;
        case 'b':
            plain = '\b';
            break;
        case 'f':
            plain = '\f';
            break;
        case 'n':
            plain = '\n';
            break;
        case 'r':
            plain = '\r';
            break;
        case 't':
            plain = '\t';
            break;
        case 'u': {
            take();
            unsigned codePoint;
            return hex4(codePoint) && unicodeEscape(codePoint, pKeep, pOut);
        }
        default:
            return false;
        }
        take();
        if (pKeep) {
            pOut.push_back(plain);
        }
        return true;
    }

    Chunks& chunks_;
    std::size_t before_ = 0; // bytes of the text before the chunk's
    const char* begin_ = nullptr;
    const char* at_ = nullptr;
    const char* end_ = nullptr;
};

} // namespace json_detail

// A reading as fnParseJson's that can stop on the way and go on: paused where
// an array's value starts, resumed past values read apart, or begun inside an
// array in the middle of the text, to end with that array. Two of them can
// read one text's halves at once, each through chunks of its own.
template <typename Chunks> class JsonReading {
  public:
    explicit JsonReading(Chunks& pChunks) : text_(pChunks) {}

    // Reads on as a reading of the values of an array whose '[' lies before
    // pOffset, from pOffset on, where the array's first value or one after a
    // comma starts: it ends before the array's closing ']'
    // (Stop::ArrayClosed). Here and in the others that go to an offset,
    // Chunks needs skipTo(offset), after which next() gives the text from
    // that offset on.
    void startInsideArray(std::size_t pOffset) {
        text_.jumpTo(pOffset);
        openObjects_.assign(1, 0);
        base_ = 1;
        next_ = Next::Value;
        started_ = true;
    }

    // The offset of the first object at or after pFrom that follows a comma
    // sure to lie outside every string, looked for within pWithin bytes;
    // npos when there is none. A raw line break lies outside every string of
    // valid JSON, and so does a comma before one (blanks between) or after
    // one with only brackets, commas and blanks between. With no key after
    // that comma, the object is a value of an array: startInsideArray() can
    // read from there.
    std::size_t findObjectInArray(std::size_t pFrom, std::size_t pWithin) {
        text_.jumpTo(pFrom);
        int last = -1;
        bool lineBreak = false; // between last and here
        bool structure = false; // only brackets, commas and blanks since a line break
        for (std::size_t passed = 0; passed < pWithin; ++passed) {
            const int c = text_.peek();
            if (c < 0) {
                break;
            }
            if (c == '\n') {
                lineBreak = true;
                structure = true;
            } else if (!json_detail::isBlank(static_cast<char>(c))) {
                if (c == '{' && last == ',' && (lineBreak || structure)) {
                    return text_.offset();
                }
                last = c;
                lineBreak = false;
                structure = structure && (c == '{' || c == '}' || c == '[' || c == ']' || c == ',');
            }
            text_.take();
        }
        return std::string_view::npos;
    }

    enum class Stop {
        End,         // the text was read whole
        Damaged,     // it stops being JSON at offset, or the handler ended it there
        Paused,      // at pPauseAt, as asked
        ArrayClosed, // the ']' at offset closes the array startInsideArray() began in
    };
    struct Result {
        Stop stop;
        std::size_t offset;
    };

    // Reads on, reporting to pHandler, until the text ends or stops being
    // JSON; or until a value after a comma in an array starts at pPauseAt,
    // where a later read() goes on.
    template <typename Handler>
    Result read(Handler& pHandler, std::size_t pPauseAt = std::string_view::npos);

    // Goes on from pOffset, just after a value that was read apart (the
    // array values a startInsideArray() reading read up to pOffset).
    void resumeAfterValue(std::size_t pOffset) {
        text_.jumpTo(pOffset);
        next_ = Next::AfterValue;
    }

  private:
    enum class Next { Value, Key, AfterValue };

    // The guesses of json_detail::Text, each by the key before: of a key's
    // length, and of the blanks after a comma, an opening or a value (the
    // next line's indentation). A key is told by its length and the low bits
    // of its first byte, so that keys of one length ("guid", "name", "type")
    // keep guesses of their own.
    struct Guesses {
        std::array<std::uint8_t, 64> keyAfter{};
        std::array<std::uint8_t, 64> blanksAfterComma{};
        std::array<std::uint8_t, 64> blanksAfterOpening{};
        std::array<std::uint8_t, 64> blanksAfterValue{};
        std::uint8_t lastKey = 0;

        void follow(std::uint8_t pLength, std::string_view pKey) {
            const unsigned first = pKey.empty() ? 0 : static_cast<unsigned char>(pKey[0]) & 3U;
            lastKey = static_cast<std::uint8_t>((pLength & 15U) | first << 4);
        }
    };

    json_detail::Text<Chunks> text_;
    Guesses guesses_;
    std::string openObjects_; // the open containers, innermost last: 1 for an object
    std::string decoded_;
    Next next_ = Next::Value;
    std::size_t base_ = 0; // the open containers before the reading's start
    bool started_ = false;
};

template <typename Chunks, typename Handler>
std::optional<std::size_t> fnParseJson(Chunks& pChunks, Handler& pHandler) {
    JsonReading<Chunks> reading(pChunks);
    const auto result = reading.read(pHandler);
    return result.stop == JsonReading<Chunks>::Stop::End ? std::nullopt
                                                         : std::optional(result.offset);
}

template <typename Chunks>
template <typename Handler>
typename JsonReading<Chunks>::Result JsonReading<Chunks>::read(Handler& pHandler,
                                                               std::size_t pPauseAt) {
    json_detail::Text<Chunks>& text = text_;
    std::string& openObjects = openObjects_;
    std::string& decoded = decoded_;
    Guesses& guesses = guesses_;
    Next& next = next_;
    std::size_t errorAt = 0;
    const auto damaged = [](std::size_t offset) { return Result{Stop::Damaged, offset}; };
    if (!started_) {
        started_ = true;
        text.skipBlanks();
        if (text.peek() < 0) {
            return damaged(text.offset());
        }
    }
    for (;;) {
        switch (next) {
        case Next::Value: {
            const int c = text.peek();
            if constexpr (requires { pHandler.WholeObject(std::string_view(), std::size_t{}); }) {
                if (c == '{') {
                    if (const std::size_t taken = pHandler.WholeObject(text.rest(), text.offset());
                        taken > 0) {
                        text.pass(taken);
                        next = Next::AfterValue;
                        break;
                    }
                }
            }
            if (c == '{' || c == '[') {
                const bool object = c == '{';
                text.take();
                if (!(object ? pHandler.StartObject() : pHandler.StartArray())) {
                    return damaged(text.offset());
                }
                text.skipBlanks(guesses.blanksAfterOpening[guesses.lastKey]);
                if (text.peek() == (object ? '}' : ']')) {
                    text.take();
                    if (!(object ? pHandler.EndObject() : pHandler.EndArray())) {
                        return damaged(text.offset());
                    }
                    next = Next::AfterValue;
                } else {
                    openObjects.push_back(object);
                    next = object ? Next::Key : Next::Value;
                }
                break;
            }
            bool reported;
            if (c == '"') {
                text.take();
                const bool keep = pHandler.wantsString();
                std::string_view value;
                bool whole = true;
                if (!text.stringView(keep, kMaxJsonStringBytes, decoded, value, whole, errorAt)) {
                    return damaged(errorAt);
                }
                reported = !keep || pHandler.String(value, whole);
            } else if (c == 't' || c == 'f' || c == 'n') {
                text.take();
                if (!text.word(c == 't' ? "rue" : c == 'f' ? "alse" : "ull")) {
                    return damaged(text.offset());
                }
                reported = pHandler.Scalar();
            } else {
                if (!text.number(errorAt)) {
                    return damaged(errorAt);
                }
                reported = pHandler.Scalar();
            }
            if (!reported) {
                return damaged(text.offset());
            }
            next = Next::AfterValue;
            break;
        }
        case Next::Key: {
            if (text.peek() != '"') {
                return damaged(text.offset());
            }
            text.take();
            const bool keep = pHandler.wantsKey();
            std::string_view key;
            bool whole = true;
            std::uint8_t& guess = guesses.keyAfter[guesses.lastKey];
            if (!text.keyView(keep, decoded, key, whole, errorAt, guess)) {
                return damaged(errorAt);
            }
            guesses.follow(guess, key);
            if (keep && !pHandler.Key(key, whole)) {
                return damaged(text.offset());
            }
            if (!text.takeColonSpace()) {
                text.skipBlanks();
                if (text.peek() != ':') {
                    return damaged(text.offset());
                }
                text.take();
                text.skipBlanks();
            }
            next = Next::Value;
            break;
        }
        case Next::AfterValue: {
            if (const int first = text.peek();
                first >= 0 && json_detail::isBlank(static_cast<char>(first))) {
                text.skipBlanks(guesses.blanksAfterValue[guesses.lastKey]);
            }
            const int c = text.peek();
            if (openObjects.empty()) {
                return c < 0 ? Result{Stop::End, text.offset()} : damaged(text.offset());
            }
            const bool object = openObjects.back();
            if (c == ',') {
                text.take();
                text.skipBlanks(guesses.blanksAfterComma[guesses.lastKey]);
                next = object ? Next::Key : Next::Value;
                if (!object && text.offset() == pPauseAt) {
                    return {Stop::Paused, pPauseAt};
                }
            } else if (c == (object ? '}' : ']')) {
                if (openObjects.size() == base_) {
                    return {Stop::ArrayClosed, text.offset()};
                }
                text.take();
                openObjects.pop_back();
                if (!(object ? pHandler.EndObject() : pHandler.EndArray())) {
                    return damaged(text.offset());
                }
            } else {
                return damaged(text.offset());
            }
            break;
        }
        }
    }
}

} // namespace zaptrove
