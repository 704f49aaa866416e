// SPDX-License-Identifier: MIT
#include "preferences_dialog/opening_page.h"

namespace zaptrove {

OpeningPage::OpeningPage(platform::forms::Form& pDialog)
    : fraOpening(pDialog, kLeft, kTop, kWidth, kHeight, "Opening"),
      chkOwnBrowser(fraOpening, 120, 300, 6900, 255,
                    "Open a browser's bookmark in that browser and profile"),
      lblOwnBrowser(fraOpening, 420, 600, 6600, 720,
                    "Shift+Enter or Shift+double-click opens it in a private window. Other "
                    "bookmarks, and all of them while this is off, open with the desktop's "
                    "default browser.") {}

void OpeningPage::load(const Settings& pSettings) {
    chkOwnBrowser.setValue(pSettings.DoOwnBrowser != DO_NO);
}

void OpeningPage::store(Settings& pSettings) const {
    pSettings.DoOwnBrowser = chkOwnBrowser.value() ? DO_YES : DO_NO;
}

} // namespace zaptrove
