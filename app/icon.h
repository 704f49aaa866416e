// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace zaptrove {

// The program icon, 32x32, as the bytes of a PNG file
// (app/icons/hicolor/32x32/apps/zaptrove.png built into the program).
std::string_view zaptroveIconPng();

} // namespace zaptrove
