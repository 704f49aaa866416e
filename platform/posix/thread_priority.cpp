// SPDX-License-Identifier: MIT
#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace zaptrove::platform {

void lowerThisThreadsPriority() {
#ifdef __linux__
    // On Linux a nice value is each thread's own; raising it needs no right.
    constexpr int kLowest = 19;
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kLowest);
#endif
}

} // namespace zaptrove::platform
