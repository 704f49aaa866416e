// SPDX-License-Identifier: MIT
#include "app/icon.h"
#include "main_window/frm_main.h"
#include "platform/forms.h"

#include <cstdlib>

// Zaptrove: the main window is the whole program. It takes no arguments.
int main(int argc, char** argv) {
    zaptrove::platform::forms::Application application(argc, argv);
    zaptrove::Settings settings;
    const auto registry = zaptrove::platform::openUserRegistry();
    zaptrove::frmMain window(settings, {*registry,
                                        zaptrove::platform::desktopShell(),
                                        zaptrove::platform::systemClock(),
                                        [] { std::_Exit(0); },
                                        {}});
    window.form.setIcon(zaptrove::zaptroveIconPng());
    window.Form_Load();
    window.form.show();
    return application.exec();
}
