// SPDX-License-Identifier: MIT
#include "platform/thread_priority.h"

#include <windows.h>

namespace zaptrove::platform {

void lowerThisThreadsPriority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
}

} // namespace zaptrove::platform
