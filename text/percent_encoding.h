// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace zaptrove::platform {

// The text with every byte but ASCII letters, digits and pKept as "%XX"
// (upper-case hexadecimal).
std::string percentEncoded(std::string_view pText, std::string_view pKept);

} // namespace zaptrove::platform
