// SPDX-License-Identifier: MIT
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zaptrove {

// zaptrove-find: runs one search with the options given and prints the result
// lines. Answers the exit status: 0 found, 1 nothing found, 2 usage error.
int fnRunFind(const std::vector<std::string>& pArgs, std::ostream& pOut, std::ostream& pErr);

} // namespace zaptrove
