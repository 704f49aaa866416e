// SPDX-License-Identifier: MIT
#pragma once

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

// Appends the UTF-8 bytes of one code point.
void appendUtf8(char32_t cp, std::string& out);

// The same, into a caller-owned buffer so hot loops allocate nothing per call.
void lowerCaseInto(std::string_view text, std::string& out);

// The same, appended to what out already holds.
void appendLowerCase(std::string_view text, std::string& out);

// Accents dropped (each character's canonical decomposition without its
// combining marks, for Latin, Greek and Cyrillic), then lower-cased as
// lowerCase does; "Café" becomes "cafe". ASCII is only lower-cased.
std::string foldAccents(std::string_view text);
// The same into out, replacing what it held.
void foldAccentsInto(std::string_view text, std::string& out);

// True when the bytes form well-formed UTF-8 (no overlongs, surrogates or values
// past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Turns the bytes of a text file into program text: UTF-8 is kept as it is (a
// leading byte-order mark dropped), anything else is read as Windows-1252.
std::string decodeFileBytes(std::string bytes);

// The same without copying UTF-8: answers the text within bytes or, for bytes
// that are not UTF-8, within decoded, which then holds their conversion.
std::string_view decodeFileBytes(std::string_view bytes, std::string& decoded);

// Appends the bytes read as Windows-1252, in UTF-8.
void appendWindows1252(std::string_view bytes, std::string& out);

// Conversions for the places that hold text as UTF-16 (the Windows wide API, and
// registry values stored as bytes). Ill-formed input becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

} // namespace zaptrove::platform
