// SPDX-License-Identifier: MIT
#include "platform/posix/detached_start.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>

extern char** environ;

namespace zaptrove::platform {

namespace {

// The child's process id, or 0 when it could not be started.
pid_t spawn(std::vector<std::string>& arguments) {
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

    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ) != 0) {
        child = 0;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

} // namespace

// A program such as xdg-open or a browser can last as long as the browser, so
// it is reaped on a thread of its own; the caller waits only until it started.
bool startDetached(std::vector<std::string> pArguments) {
    if (pArguments.empty()) {
        return false;
    }
    std::promise<bool> started;
    std::future<bool> handedOver = started.get_future();
    try {
        std::thread([arguments = std::move(pArguments), started = std::move(started)]() mutable {
            const pid_t child = spawn(arguments);
            started.set_value(child != 0);
            while (child != 0 && waitpid(child, nullptr, 0) == -1 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        return false; // no thread to wait on it: nothing is started, so nothing is left behind
    }
    return handedOver.get();
}

} // namespace zaptrove::platform
