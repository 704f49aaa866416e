// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text services: every text the program holds is UTF-8.
namespace zaptrove::platform {

// An ASCII capital lower-cased; every other byte as it is.
constexpr char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// True when a and b are the same with ASCII letter case ignored.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The order of names with ASCII letter case ignored and bytes compared unsigned,
// so names outside ASCII follow ASCII ones; names equal but for letter case are
// ordered by their exact bytes.
bool precedesIgnoringAsciiCase(std::string_view a, std::string_view b);

// Unicode simple lower-case mapping of every character; ASCII takes a fast path.
std::string lowerCase(std::string_view text);

// The same, into a caller-owned buffer so hot loops allocate nothing per call.
void lowerCaseInto(std::string_view text, std::string& out);

// The same, appended to what out already holds.
void appendLowerCase(std::string_view text, std::string& out);

// Accents dropped (each character's canonical decomposition without its
// combining marks, for Latin, Greek and Cyrillic), then lower-cased as
// lowerCase does; "Café" becomes "cafe". "ß", "æ", "œ" and "ø" are written
// out ("ss", "ae", "oe", "o"), so the result may differ in length from the
// text. ASCII is only lower-cased.
std::string foldAccents(std::string_view text);
// The same into out, replacing what it held.
void foldAccentsInto(std::string_view text, std::string& out);

// True when the bytes form well-formed UTF-8 (no overlongs, surrogates or values
// past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// The first pMaxBytes of the text, or fewer so that no UTF-8 character is cut
// in two; the whole text when it is no longer.
std::string_view cutBeforeCharacter(std::string_view pText, std::size_t pMaxBytes);

// Turns the bytes of a text file into program text: UTF-16 with its byte-order
// mark is converted, UTF-8 is kept as it is (a leading byte-order mark
// dropped), anything else is read as Windows-1252.
std::string decodeFileBytes(std::string bytes);

// Bytes that hold text in one encoding or the other: themselves when they are
// UTF-8, else their Windows-1252 reading, put in decoded.
std::string_view utf8OrWindows1252(std::string_view bytes, std::string& decoded);

// Appends the bytes read as Windows-1252, in UTF-8.
void appendWindows1252(std::string_view bytes, std::string& out);

enum class ByteOrder { LittleEndian, BigEndian };

// The byte order of a UTF-16 text whose first bytes are these, when they are a
// UTF-16 byte-order mark (2 bytes long).
std::optional<ByteOrder> utf16ByteOrder(std::string_view firstBytes);

// Bytes that start with a UTF-16 byte-order mark converted to UTF-8, without
// the mark, into decoded; other bytes are answered as they are.
std::string_view utf16WithMarkAsUtf8(std::string_view bytes, std::string& decoded);

// Turns UTF-16 that comes in pieces into UTF-8. A unit or a surrogate pair cut
// by the end of a piece is completed by the next one; a surrogate without its
// pair, and an odd byte at the end, become U+FFFD.
class Utf16Decoder {
  public:
    explicit Utf16Decoder(ByteOrder order) : order_(order) {}

    // The most bytes that append writes for a piece of size bytes, and finish
    // after it.
    static constexpr std::size_t maxUtf8Bytes(std::size_t size) { return 3 * (size / 2 + 3); }

    // Writes the UTF-8 of the next piece's bytes at out; answers where it ends.
    char* append(std::string_view bytes, char* out);
    // The same for one more unit.
    char* appendUnit(char16_t unit, char* out);
    // Writes what the text's end leaves unfinished.
    char* finish(char* out);

  private:
    char16_t unitAt(const char* bytes) const;

    ByteOrder order_;
    std::optional<char> cutUnit_; // the first byte of a unit
    char16_t highSurrogate_ = 0;  // 0 when none waits for its pair
};

// Appends the UTF-8 form of a code point.
void appendUtf8(char32_t cp, std::string& out);

// Conversions for the places that hold text as UTF-16 (the Windows wide API, and
// registry values stored as bytes). Ill-formed input becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

} // namespace zaptrove::platform
