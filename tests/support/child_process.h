// SPDX-License-Identifier: MIT
#pragma once

// POSIX only: tests that must not hang, or that need folder permissions to hold
// even for root, run their body in a child process.
#include <cstdio>
#include <functional>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zaptrove::test {

// Runs body in a child process; true when it answers true within pSeconds (one
// that blocks or never ends is ended by SIGALRM).
inline bool inChild(const std::function<bool()>& body, unsigned seconds = 10) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(seconds);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs body in a child process; true when it answers true and the child's peak
// memory grew by less than growthKiB while it ran.
inline bool inChildGrowingLessThan(long growthKiB, const std::function<bool()>& body) {
    return inChild(
        [&] {
            rusage before{}, after{};
            getrusage(RUSAGE_SELF, &before);
            const bool answer = body();
            getrusage(RUSAGE_SELF, &after);
            std::fprintf(stderr, "peak grew by %ld KiB\n", after.ru_maxrss - before.ru_maxrss);
            return answer && after.ru_maxrss - before.ru_maxrss < growthKiB;
        },
        60);
}

// Gives up root's rights to read and write anywhere and to act as any file's
// owner, so that permissions and ownership hold.
inline void honourPermissions() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    syscall(SYS_capget, &header, data);
    data[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH | 1u << CAP_FOWNER);
    syscall(SYS_capset, &header, data);
}

} // namespace zaptrove::test
