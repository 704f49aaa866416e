// SPDX-License-Identifier: MIT
#pragma once

#include "text/text.h"

#include <string>
#include <string_view>

namespace zaptrove::test {

// The bytes of a UTF-16 file holding text, byte-order mark first.
inline std::string utf16File(std::string_view text, platform::ByteOrder order) {
    const bool little = order == platform::ByteOrder::LittleEndian;
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t unit : platform::utf8ToUtf16(text)) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += little ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

} // namespace zaptrove::test
