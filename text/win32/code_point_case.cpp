// SPDX-License-Identifier: MIT
#include "text/code_point_case.h"

#include <windows.h>

namespace zaptrove::platform {

// The system's own mapping; characters outside the Basic Multilingual Plane
// pass through CharLowerBuffW as their surrogate pair.
char32_t lowerCodePoint(char32_t codePoint) {
    if (codePoint >= 0x10000) {
        wchar_t pair[2] = {static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10)),
                           static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF))};
        CharLowerBuffW(pair, 2);
        return 0x10000 + ((static_cast<char32_t>(pair[0]) - 0xD800) << 10) +
               (static_cast<char32_t>(pair[1]) - 0xDC00);
    }
    wchar_t unit = static_cast<wchar_t>(codePoint);
    CharLowerBuffW(&unit, 1);
    return unit;
}

} // namespace zaptrove::platform
