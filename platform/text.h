// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// Text services: every text the program holds is UTF-8.
namespace zaptrove::platform {

// Unicode simple lower-case mapping of every character; ASCII takes a fast path.
std::string lowerCase(std::string_view text);

// The same, into a caller-owned buffer so hot loops allocate nothing per call.
void lowerCaseInto(std::string_view text, std::string& out);

// The same, appended to what out already holds.
void appendLowerCase(std::string_view text, std::string& out);

// Accents dropped (each character's canonical decomposition without its
// combining marks, for Latin, Greek and Cyrillic), then lower-cased as
// lowerCase does; "Café" becomes "cafe". ASCII is only lower-cased.
std::string foldAccents(std::string_view text);

// The first position at or after `from` where the lower-cased text could hold
// loweredTerm: the start of an occurrence with ASCII letter case ignored, or a
// byte outside ASCII, whose lower-casing only the full mapping knows (a term
// outside ASCII can only meet such bytes). npos when there is none.
std::size_t findMatchCandidate(std::string_view text, std::string_view loweredTerm,
                               std::size_t from);

// True when lowerCase(text) contains loweredTerm. ASCII text is compared in
// place; text with other characters is lower-cased into scratch.
bool containsLowered(std::string_view text, std::string_view loweredTerm, std::string& scratch);

// The same for foldAccents: true when foldAccents(text) contains foldedTerm.
bool containsFolded(std::string_view text, std::string_view foldedTerm, std::string& scratch);

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
