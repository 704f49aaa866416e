#include "debug_log/str_form.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zaptrove {

std::string fnStr(long long pNumber) {
    return (pNumber >= 0 ? " " : "") + std::to_string(pNumber);
}

std::string fnStrSingle(float pNumber) {
    const double value = pNumber == 0.0f ? 0.0 : static_cast<double>(pNumber);
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.7g", value);
    std::string text = digits;
    if (text.find('e') != std::string::npos) {
        // Very small or large values: fixed notation, still seven digits at most.
        const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
        std::snprintf(digits, sizeof digits, "%.*f", std::clamp(6 - magnitude, 0, 40), value);
        text = digits;
        if (text.find('.') != std::string::npos) {
            text.erase(text.find_last_not_of('0') + 1);
            if (text.back() == '.') {
                text.pop_back();
            }
        }
    }
    return (value < 0 ? "" : " ") + text;
}

} // namespace zaptrove
