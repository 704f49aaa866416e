// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

#include "search/results/result_list.h"

#include <utility>

namespace zaptrove {

// The request is made now, from the settings as they are, so a setting changed
// while the search runs waits for the next one.
void frmMain::subSearchInBackground(const std::string& pText, ShowOutcome pShow) {
    form.setBusy(true);
    SearchRequest request = fnSearchRequest(pText, settings_);
    request.keptRows = &keptRows_;
    const bool nameFirst = fnListNameFirst(request);
    search_.start(std::move(request), settings_.DebugMode,
                  [this, show = std::move(pShow), nameFirst](SearchOutcome outcome) {
                      form.setBusy(false);
                      show(std::move(outcome), nameFirst);
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
