// SPDX-License-Identifier: MIT
#include "forms/forms.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

// The requests to end from outside: the session manager's commit-data request,
// and SIGTERM and SIGHUP, which a signal handler turns into a byte on a pipe
// that the event loop watches, so the action runs on the window thread.
namespace zaptrove::platform::forms {

namespace {

int gSignalPipe[2] = {-1, -1};

std::function<void(EndRequest)>& endAction() {
    static std::function<void(EndRequest)> action;
    return action;
}

void requestEnd(EndRequest pRequest) {
    if (endAction()) {
        endAction()(pRequest);
    }
}

extern "C" void onEndSignal(int) {
    const int savedErrno = errno;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(gSignalPipe[1], &byte, 1);
    errno = savedErrno;
}

void watchEndRequests() {
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, qGuiApp,
                     [](QSessionManager&) { requestEnd(EndRequest::SessionEnding); });
    if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, qGuiApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char bytes[16];
        while (::read(gSignalPipe[0], bytes, sizeof bytes) > 0) {
        }
        requestEnd(EndRequest::EndNow);
    });
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

} // namespace

void whenAskedToEnd(std::function<void(EndRequest)> pAction) {
    static const bool watching = (watchEndRequests(), true);
    static_cast<void>(watching);
    endAction() = std::move(pAction);
}

} // namespace zaptrove::platform::forms
