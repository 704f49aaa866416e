// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace zaptrove {

inline constexpr int VERSION_MAJOR = 4;
inline constexpr int VERSION_MINOR = 3;

// "4.3": major, ".", minor, as plain decimal numbers.
inline std::string fnVersionText() {
    return std::to_string(VERSION_MAJOR) + "." + std::to_string(VERSION_MINOR);
}

} // namespace zaptrove
