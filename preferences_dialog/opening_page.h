// SPDX-License-Identifier: MIT
#pragma once

#include "preferences_dialog/more_page.h"

namespace zaptrove {

// The "Opening" page: whether a browser bookmark opens in its own browser and
// profile or, like every other bookmark, with the desktop's default.
class OpeningPage final : public MorePage {
  public:
    explicit OpeningPage(platform::forms::Form& pDialog);

    platform::forms::Frame& frame() override { return fraOpening; }
    void load(const Settings& pSettings) override;
    void store(Settings& pSettings) const override;

    platform::forms::Frame fraOpening;
    platform::forms::CheckBox chkOwnBrowser;
    platform::forms::Label lblOwnBrowser;
};

} // namespace zaptrove
