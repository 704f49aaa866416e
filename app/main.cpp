// SPDX-License-Identifier: MIT
#include "app/command_line.h"
#include "app/icon.h"
#include "forms/forms.h"
#include "main_window/frm_main.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/instance.h"

#include <atomic>
#include <cstdlib>
#include <iostream>

// Zaptrove: the main window is the whole program. One runs per user session
// and settings file: a later start (plain or "zaptrove --show", which a
// desktop's keyboard shortcut can run) brings that window to the front and
// ends with status 0. "--help" and "--version" print and end before that.
int main(int argc, char** argv) {
    const std::vector<std::string> args = zaptrove::platform::commandLineArguments(argc, argv);
    if (const auto status = zaptrove::fnAnswerCommandLine(args, std::cout)) {
        return *status;
    }
    namespace forms = zaptrove::platform::forms;
    std::atomic<zaptrove::frmMain*> shown{nullptr};
    const auto claim = zaptrove::platform::claimInstance(
        zaptrove::platform::environmentValue("ZAPTROVE_REGISTRY"), [&shown] {
            // A request before the window is up is answered by its first showing.
            if (shown.load() != nullptr) {
                forms::whenIdle([&shown] { shown.load()->subBringToFront(); });
            }
        });
    if (claim == nullptr) {
        return 0;
    }
    forms::Application application(argc, argv);
    zaptrove::Settings settings;
    const auto registry = zaptrove::platform::openUserRegistry();
    zaptrove::frmMain window(settings, {*registry,
                                        zaptrove::platform::desktopShell(),
                                        zaptrove::platform::systemClock(),
                                        [] { std::_Exit(0); },
                                        {}});
    window.InstanceProblem = claim->problem();
    window.form.setIcon(zaptrove::zaptroveIconPng());
    window.Form_Load();
    forms::whenAskedToEnd(
        [&window](forms::EndRequest request) { window.subEndRequested(request); });
    window.form.show();
    if (zaptrove::fnStartedAtLogin(args)) {
        window.subStartedAtLogin();
    }
    shown = &window;
    return application.exec();
}
