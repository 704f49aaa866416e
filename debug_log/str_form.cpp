// SPDX-License-Identifier: MIT
#include "debug_log/str_form.h"

#include <algorithm>
#include <cstdio>

namespace zaptrove {

// Built by appending: GCC 12 warns wrongly (-Wrestrict) on a literal + std::string&&.
std::string fnStr(long long pNumber) {
    std::string text = pNumber >= 0 ? " " : "";
    text += std::to_string(pNumber);
    return text;
}

std::string fnStrSingle(float pNumber) {
    const double value = pNumber == 0.0f ? 0.0 : static_cast<double>(pNumber);
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.7g", value);
    std::string text = digits;
    // Values too large or too small for seven plain digits take the exponent form
    // "1.234568E+08".
    std::replace(text.begin(), text.end(), 'e', 'E');
    return value < 0 ? text : " " + text;
}

} // namespace zaptrove
