// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

#include "settings/version.h"

namespace zaptrove {

namespace {

constexpr int kNoticeMilliseconds = 2000;

} // namespace

std::string fnMainCaption() {
    return "Zaptrove v" + fnVersionText();
}

// What an action without visible result did ("Address copied") shows after
// the caption; a later notice replaces it and takes its time afresh.
void frmMain::subShowNotice(std::string_view pText) {
    form.setCaption(fnMainCaption() + " - " + std::string(pText));
    tmrNotice.start(kNoticeMilliseconds);
}

void frmMain::tmrNotice_Timer() {
    form.setCaption(fnMainCaption());
}

} // namespace zaptrove
