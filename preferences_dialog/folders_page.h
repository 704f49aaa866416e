// SPDX-License-Identifier: MIT
#pragma once

#include "preferences_dialog/more_page.h"

namespace zaptrove {

// The "Folders" page: whether the typed words are found in folder names too,
// and the folders whose bookmarks are left out.
class FoldersPage final : public MorePage {
  public:
    explicit FoldersPage(platform::forms::Form& pDialog);

    platform::forms::Frame& frame() override { return fraFolders; }
    void load(const Settings& pSettings) override;
    void store(Settings& pSettings) const override;

    platform::forms::Frame fraFolders;
    platform::forms::CheckBox chkFolderWords;
    platform::forms::Label lblFolderWords;
    platform::forms::Label lblLeaveOut;
    platform::forms::TextBox txtLeaveOut;
    platform::forms::Label lblLeaveOutHint;
};

} // namespace zaptrove
