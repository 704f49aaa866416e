// SPDX-License-Identifier: MIT
#pragma once

#include "forms/forms.h"
#include "preferences_dialog/browsers_page.h"
#include "preferences_dialog/folders_page.h"
#include "preferences_dialog/launcher_page.h"
#include "preferences_dialog/list_page.h"
#include "preferences_dialog/opening_page.h"
#include "settings/settings.h"

#include <vector>

namespace zaptrove {

// The modal dialog that the Preferences dialog's "More…" button opens, for the
// settings beyond the Preferences dialog's own: a list of pages on the left,
// the chosen page beside it. Like Preferences it loads from Settings when
// shown; OK stores every page, Cancel, Escape and the close box change nothing.
class frmMore {
  public:
    frmMore(Settings& settings, const platform::forms::Form& owner);

    void showModal() { form.showModal(); }

    void Form_Activate();
    void lstPages_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    platform::forms::Form form;
    platform::forms::ListBox lstPages;
    BrowsersPage Browsers;
    LauncherPage Launcher;
    OpeningPage Opening;
    ListPage List;
    FoldersPage Folders;
    platform::forms::CommandButton cmdOK;
    platform::forms::CommandButton cmdCancel;

  private:
    Settings& settings_;
    const platform::forms::Form& owner_;
    // Every page, in the order the page list shows them.
    std::vector<MorePage*> pages_;
};

} // namespace zaptrove
