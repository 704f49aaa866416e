// SPDX-License-Identifier: MIT
#include "platform/shell.h"

#include "platform/shell_address.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <system_error>
#include <thread>

extern char** environ;

namespace zaptrove::platform {

namespace {

// Starts "xdg-open ADDRESS" with no command interpreter and answers its process
// id, or 0 when it could not be started. Its standard streams go to /dev/null,
// and it starts with no blocked signals and SIGPIPE at its default.
pid_t startXdgOpen(std::string& address) {
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
    if (posix_spawnp(&child, program, &actions, &attributes, arguments, environ) != 0) {
        child = 0;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// xdg-open can last as long as the browser it starts, so it is started and
// reaped on a thread of its own; no SIGCHLD handler is involved. The caller
// waits only until it has started: a program that quits or minimises right
// after asking has handed the address over by then.
class XdgShell final : public Shell {
  public:
    void openAddress(std::string_view pAddress, std::uintptr_t) override {
        if (!isOpenableAddress(pAddress)) {
            return;
        }
        std::promise<void> started;
        std::future<void> handedOver = started.get_future();
        try {
            std::thread([address = std::string(pAddress), started = std::move(started)]() mutable {
                const pid_t child = startXdgOpen(address);
                started.set_value();
                while (child != 0 && waitpid(child, nullptr, 0) == -1 && errno == EINTR) {
                }
            }).detach();
        } catch (const std::system_error&) {
            return; // no thread to wait on it: nothing is started, so nothing is left behind
        }
        handedOver.wait();
    }
};

} // namespace

Shell& desktopShell() {
    static XdgShell shell;
    return shell;
}

} // namespace zaptrove::platform
