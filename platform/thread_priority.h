// SPDX-License-Identifier: MIT
#pragma once

namespace zaptrove::platform {

// Lowers the calling thread's priority as far as it goes: it then runs on time
// the program's other threads leave, so work done ahead of need on a spare
// processor never takes one from them, and runs fully once they wait for it.
void lowerThisThreadsPriority();

} // namespace zaptrove::platform
