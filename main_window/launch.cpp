// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

#include "launch/open_bookmark.h"
#include "search/sources/launch_record.h"

namespace zaptrove {

// Opens the bookmark (a browser's in its own browser and profile while
// DoOwnBrowser is on, the others with the desktop's "open" action), then does
// what Launch asks: nothing, minimise, or quit (which does not come back). Both
// answer once the program they start has the address, so quitting loses nothing.
void frmMain::subLaunch(const Bookmark& pBookmark, bool pPrivate) {
    subDebug(LOG_INFO, "Launching: " + pBookmark.URL);
    const Openers openers{services_.shell, *services_.programs,
                          fnCurrentProgramPlaces(&services_.registry), form.nativeHandle(),
                          settings_.RankByUse == RANK_USE_ON ? fnLaunchRecordPath() : ""};
    fnOpenBookmark(pBookmark, settings_.DoOwnBrowser != DO_NO, pPrivate, openers, log_);
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
