// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace zaptrove::platform {

// Starts pArguments[0] (looked up on PATH when it has no "/") with no command
// interpreter, its standard streams on /dev/null, no blocked signals and
// SIGPIPE at its default, and waits for it to end on a thread of its own, so
// no SIGCHLD handler is involved. Returns once it has started; false when it
// could not be.
bool startDetached(std::vector<std::string> pArguments);

} // namespace zaptrove::platform
