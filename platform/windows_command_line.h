// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace zaptrove::platform {

// The command line that hands each argument to a Windows program as it is,
// by the rules its C runtime splits a command line with: an argument holding a
// space, a tab or a quote (or an empty one) is quoted, a quote inside is
// escaped, and the backslashes before a quote or the closing quote are
// doubled. The first argument, the program, is quoted whole and never escaped,
// as Windows reads it.
std::string fnWindowsCommandLine(const std::vector<std::string>& pArguments);

} // namespace zaptrove::platform
