// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

#include <algorithm>

namespace zaptrove {

namespace forms = platform::forms;

namespace {

// Gaps between the window's edges and its controls, in twips.
constexpr float kFrameInset = 100;
constexpr float kButtonFromFrameRight = 540;
constexpr float kListInset = 200;
constexpr float kListFromWindowBottom = 470;
// The list lies over the input box, or below it while searching as you type.
constexpr float kListTopOverInput = 135;
constexpr float kListTopBelowInput = 465;

} // namespace

// Lays the controls out for the window's present size; the width and height
// are read afresh each time, since setting the height may change them. No
// width goes below 0, however narrow the window.
void frmMain::Form_Resize() {
    switch (form.windowState()) {
    case forms::WINDOW_MAXIMIZED:
        return;
    case forms::WINDOW_MINIMIZED:
        // Into the notification area, when there is one to come back from.
        if (settings_.Tray == TRAY_ON && services_.trayAvailable()) {
            subNotifyIcon(TrayMessage::Add);
            form.hide();
        }
        return;
    default:
        break;
    }
    if (!cboResult.visible()) {
        form.setHeight(COLLAPSED_HEIGHT);
    }
    frmFrame.setWidth(std::max(0.0f, form.width() - kFrameInset));
    frmFrame.setHeight(std::max(0.0f, form.height() - kFrameInset));
    cmdPrefereneces.setLeft(frmFrame.width() - kButtonFromFrameRight);
    txtInput.setWidth(std::max(0.0f, form.width() - kListInset - kButtonFromFrameRight));
    cboResult.setWidth(std::max(0.0f, form.width() - kListInset));
    if (form.height() < COLLAPSED_HEIGHT) {
        form.setHeight(COLLAPSED_HEIGHT);
    }
    const float listTop = searchesAsTyped() ? kListTopBelowInput : kListTopOverInput;
    cboResult.setTop(listTop);
    cboResult.setHeight(
        std::max(0.0f, form.height() - kListFromWindowBottom - (listTop - kListTopOverInput)));
}

} // namespace zaptrove
