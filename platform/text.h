#pragma once

#include <string>
#include <string_view>

// Text services: every text the program holds is UTF-8.
namespace zaptrove::platform {

// Unicode simple lower-case mapping of every character; ASCII takes a fast path.
std::string lowerCase(std::string_view text);

// The same, into a caller-owned buffer so hot loops allocate nothing per call.
void lowerCaseInto(std::string_view text, std::string& out);

// True when the bytes form well-formed UTF-8 (no overlongs, surrogates or values
// past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Turns the bytes of a text file into program text: UTF-8 is kept as it is (a
// leading byte-order mark dropped), anything else is read as Windows-1252.
std::string decodeFileBytes(std::string bytes);

// Conversions for the places that hold text as UTF-16 (the Windows wide API, and
// registry values stored as bytes). Ill-formed input becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

} // namespace zaptrove::platform
