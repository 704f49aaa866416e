// SPDX-License-Identifier: MIT
#pragma once

#include "forms/forms.h"

// Input for tests, in the toolkit's terms; only test programs link it
// (zaptrove_forms_simulate).
namespace zaptrove::platform::forms {

std::string clipboardText();
// True when the control holds the keyboard focus.
bool hasFocus(const Control& pControl);
// True when the control holds the focus and draws its focus ring.
bool showsFocusRing(const Control& pControl);

// Drive the real widgets as a user would, for tests: keys go through the same
// event path as typed keys (so Escape reaches the cancel button).
void simulateTyping(Control& pControl, std::string_view pText);
void simulateKey(Control& pControl, std::int16_t pKeyAscii);
void simulateKeyDown(Control& pControl, std::int16_t pKeyCode);
// A key pressed with modifiers, written as "Ctrl+Alt+Z".
void simulateKeyCombination(Control& pControl, std::string_view pCombination);
// With pShift, Shift is held through the clicks.
void simulateDoubleClick(ListBox& pList, int pRow, bool pShift = false);
// Rests the mouse on the row, or below the last one for -1, and answers the
// tooltip the list then shows, as plain text (empty for none).
std::string simulateHover(ListBox& pList, int pRow);
void simulateClick(CommandButton& pButton);
// On the box or circle that shows the value.
void simulateClick(Checkable& pControl);
// A click on the icon as the desktop reports it; none reaches an icon that is
// not shown.
void simulateTrayActivation(TrayIcon& pIcon, TrayClick pClick);
// Chooses the entry with this caption in the icon's right-click menu; false
// when the menu holds none (or there is no menu).
bool simulateTrayMenuChoice(TrayIcon& pIcon, std::string_view pCaption);
// The window's close box.
void simulateClose(Form& pForm);
// The captions of the form's controls that their control cuts short.
std::vector<std::string> cutCaptions(const Form& pForm);
// The captions of the form's frames whose caption or border crosses a control
// inside them.
std::vector<std::string> crowdedFrames(const Form& pForm);
#ifndef _WIN32
// The captions of the form's option and check boxes whose mark (box or circle)
// the control cuts off. On Windows the system's buttons draw their own marks.
std::vector<std::string> cutMarks(const Form& pForm);
#endif

} // namespace zaptrove::platform::forms
