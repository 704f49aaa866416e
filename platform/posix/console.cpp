// SPDX-License-Identifier: MIT
#include "platform/console.h"

namespace zaptrove::platform {

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

// Terminals here take UTF-8 as it is.
Utf8Console::Utf8Console() = default;

Utf8Console::~Utf8Console() = default;

} // namespace zaptrove::platform
