// SPDX-License-Identifier: MIT
#include "preferences_dialog/frm_more.h"

namespace zaptrove {

namespace forms = platform::forms;

frmMore::frmMore(Settings& settings, const forms::Form& owner)
    : form("More Preferences", 9000, 4785, forms::FormStyle::Dialog),
      lstPages(form, 120, 120, 1500, 4155), Browsers(form), Launcher(form), Opening(form),
      List(form), Folders(form), cmdOK(form, 6900, 4320, 900, 345, "OK"),
      cmdCancel(form, 7980, 4320, 900, 345, "Cancel"), settings_(settings),
      owner_(owner), pages_{&Browsers, &Launcher, &Opening, &List, &Folders} {
    std::vector<std::string> titles;
    for (MorePage* page : pages_) {
        titles.push_back(page->frame().caption());
    }
    lstPages.setItems(titles);
    form.setCancelButton(cmdCancel);
    form.setDefaultButton(cmdOK);
    form.onActivate = [this] { Form_Activate(); };
    lstPages.onClick = [this] { lstPages_Click(); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
}

void frmMore::Form_Activate() {
    form.setIconFrom(owner_);
    for (MorePage* page : pages_) {
        page->load(settings_);
    }
    lstPages.setListIndex(0);
    cmdOK.setFocus();
}

// Shows the chosen page only; a click below the rows, which chooses none,
// leaves the page shown.
void frmMore::lstPages_Click() {
    const int chosen = lstPages.listIndex();
    if (chosen < 0) {
        return;
    }
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        pages_[i]->frame().setVisible(static_cast<int>(i) == chosen);
    }
}

void frmMore::cmdOK_Click() {
    for (const MorePage* page : pages_) {
        page->store(settings_);
    }
    form.unload();
}

void frmMore::cmdCancel_Click() {
    form.unload();
}

} // namespace zaptrove
