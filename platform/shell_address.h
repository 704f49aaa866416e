// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace zaptrove::platform {

// True when the address can be handed to the desktop as one argument: not
// empty, not taken for an option ("-..."), and without a NUL byte that would
// cut it short.
inline bool isOpenableAddress(std::string_view address) {
    return !address.empty() && address.front() != '-' &&
           address.find('\0') == std::string_view::npos;
}

} // namespace zaptrove::platform
