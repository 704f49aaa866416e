// SPDX-License-Identifier: MIT
#pragma once

#include "forms/forms.h"
#include "preferences_dialog/frm_more.h"
#include "settings/settings.h"

#include <array>
#include <memory>

namespace zaptrove {

// The modal Preferences dialog: it loads its controls from Settings each time it
// is shown, and OK writes them back; Cancel, Escape and the close box change
// nothing. It never touches the registry.
class frmPreferences {
  public:
    frmPreferences(Settings& settings, const platform::forms::Form& mainWindow);

    // Shows the dialog and returns when it has been closed.
    void showModal() { form.showModal(); }

    void Form_Activate();
    void cmdOK_Click();
    void cmdCancel_Click();
    // Opens the More dialog for the settings beyond these.
    void cmdMore_Click();

    platform::forms::Form form;
    platform::forms::Frame fraAlternates;
    std::array<platform::forms::Label, 6> lblAlternate;
    std::array<platform::forms::TextBox, 6> txtAlternate;
    // Rows 4 and 5 belong to the dialog itself and lie over the frame.
    std::array<platform::forms::CheckBox, 6> chkAlternate;
    platform::forms::Frame frmSearch;
    std::array<platform::forms::OptionButton, 3> optSearch;
    platform::forms::Frame frmSort;
    std::array<platform::forms::OptionButton, 3> optSort;
    platform::forms::Frame frmLaunch;
    std::array<platform::forms::OptionButton, 3> optLaunch;
    platform::forms::CheckBox chkMinimize;
    platform::forms::CheckBox ChkSingle;
    platform::forms::CheckBox chkDups;
    platform::forms::CommandButton cmdOK;
    platform::forms::CommandButton cmdCancel;
    // Below the dialog's own layout, in a strip added for it.
    platform::forms::CommandButton cmdMore;
    std::unique_ptr<frmMore> More; // while it is shown

  private:
    Settings& settings_;
    const platform::forms::Form& mainWindow_;
};

} // namespace zaptrove
