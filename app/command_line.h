// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace zaptrove {

// Answers the options that print and end the program ("--help", "--version")
// before any window or instance is touched, so they work without a display.
// Returns the exit status when the program is to end, nothing when the window
// is to start ("--show", no arguments, or options left to the toolkit).
std::optional<int> fnAnswerCommandLine(const std::vector<std::string>& pArgs, std::ostream& pOut);

// Whether the entry that starts the program at login started it.
bool fnStartedAtLogin(const std::vector<std::string>& pArgs);

} // namespace zaptrove
