// SPDX-License-Identifier: MIT
#include "platform/shell.h"

#include "platform/shell_address.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <system_error>
#include <thread>

extern char** environ;

namespace zaptrove::platform {

namespace {

// Runs "xdg-open ADDRESS" with no command interpreter and waits for it, so it
// never stays behind as a zombie. Its standard streams go to /dev/null, and it
// starts with no blocked signals and SIGPIPE at its default.
void runXdgOpen(std::string address) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int stream : {0, 1, 2}) {
        posix_spawn_file_actions_addopen(&actions, stream, "/dev/null",
                                         stream == 0 ? O_RDONLY : O_WRONLY, 0);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    char program[] = "xdg-open";
    char* arguments[] = {program, address.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, &actions, &attributes, arguments, environ) == 0) {
        while (waitpid(child, nullptr, 0) == -1 && errno == EINTR) {
        }
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
}

// xdg-open can last as long as the browser it starts, so it runs and is reaped
// on a thread of its own; no SIGCHLD handler is involved.
class XdgShell final : public Shell {
  public:
    void openAddress(std::string_view pAddress, std::uintptr_t) override {
        if (!isOpenableAddress(pAddress)) {
            return;
        }
        try {
            std::thread(runXdgOpen, std::string(pAddress)).detach();
        } catch (const std::system_error&) {
            // No thread to wait on it: nothing is started, so nothing is left behind.
        }
    }
};

} // namespace

Shell& desktopShell() {
    static XdgShell shell;
    return shell;
}

} // namespace zaptrove::platform
