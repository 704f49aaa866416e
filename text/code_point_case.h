// SPDX-License-Identifier: MIT
#pragma once

// The per-OS simple lower-case mapping of one Unicode code point, used by the
// text service for every character outside ASCII.
namespace zaptrove::platform {

char32_t lowerCodePoint(char32_t codePoint);

// The code points outside ASCII whose lower case may lie in ASCII: the dotted
// capital I ("i") and the Kelvin sign ("k"). No other one lower-cases into
// ASCII, which the tests check against each system's mapping.
inline constexpr char32_t kLowerIntoAscii[] = {0x130, 0x212A};

} // namespace zaptrove::platform
