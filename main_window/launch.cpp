// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

namespace zaptrove {

// Opens the address with the desktop's "open" action, then does what Launch
// asks: nothing, minimise, or quit (which does not come back). The shell
// answers once the desktop has the address, so quitting loses nothing.
void frmMain::subLaunch(const std::string& pURL) {
    subDebug(LOG_INFO, "Launching: " + pURL);
    services_.shell.openAddress(pURL, form.nativeHandle());
    switch (settings_.Launch) {
    case LAUNCH_MINIMIZE:
        subDebug(LOG_INFO, "...minimizing");
        form.setWindowState(platform::forms::WINDOW_MINIMIZED);
        break;
    case LAUNCH_QUIT:
        subDebug(LOG_INFO, "...quitting");
        form.unload();
        break;
    default:
        break;
    }
}

} // namespace zaptrove
