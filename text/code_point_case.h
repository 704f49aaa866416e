// SPDX-License-Identifier: MIT
#pragma once

// The per-OS simple lower-case mapping of one Unicode code point, used by the
// text service for every character outside ASCII.
namespace zaptrove::platform {

char32_t lowerCodePoint(char32_t codePoint);

} // namespace zaptrove::platform
