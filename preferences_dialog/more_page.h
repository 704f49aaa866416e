// SPDX-License-Identifier: MIT
#pragma once

#include "forms/forms.h"
#include "settings/settings.h"

// One page of the More dialog: a frame captioned with the page's title whose
// controls are loaded from Settings when the dialog opens and stored by OK.
namespace zaptrove {

class MorePage {
  public:
    // Where every page lies in the dialog, in twips.
    static constexpr float kLeft = 1740;
    static constexpr float kTop = 60;
    static constexpr float kWidth = 7140;
    static constexpr float kHeight = 4155;

    virtual ~MorePage() = default;
    virtual platform::forms::Frame& frame() = 0;
    virtual void load(const Settings& pSettings) = 0;
    virtual void store(Settings& pSettings) const = 0;
};

} // namespace zaptrove
