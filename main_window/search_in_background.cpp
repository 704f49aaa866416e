// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

#include <utility>

namespace zaptrove {

// The request is made now, from the settings as they are, so a setting changed
// while the search runs waits for the next one.
void frmMain::subSearchInBackground(const std::string& pText,
                                    std::function<void(SearchOutcome)> pShow) {
    form.setBusy(true);
    SearchRequest request = fnSearchRequest(pText, settings_);
    request.keptRows = &keptRows_;
    search_.start(std::move(request), settings_.DebugMode,
                  [this, show = std::move(pShow)](SearchOutcome outcome) {
                      form.setBusy(false);
                      show(std::move(outcome));
                      if (std::exchange(enterAfterSearch_, false)) {
                          subEnterOnText();
                      }
                  });
}

bool frmMain::subStopSearch() {
    enterAfterSearch_ = false;
    if (!search_.stop()) {
        return false;
    }
    form.setBusy(false);
    return true;
}

} // namespace zaptrove
