// SPDX-License-Identifier: MIT
#pragma once

#include "forms/forms.h"

#include <array>
#include <optional>

// Twips on the screen, shared by the window toolkit's implementations.
namespace zaptrove::platform::forms {

enum class Side { Left, Top, Width, Height };

inline bool isPosition(Side pSide) {
    return pSide == Side::Left || pSide == Side::Top;
}

// Twips in whole pixels, rounded to the nearest: of the screen, or of a window
// with pTwipsPerPixel.
int toPixels(float pTwips, float pTwipsPerPixel = twipsPerPixelX());

// Remembers the twips each side was last set to, with the pixels that gave the
// window, so a value the program set reads back unrounded.
class TwipsMemory {
  public:
    // The twips last set, while the window still measures pMeasured pixels on
    // that side; otherwise pShown pixels in twips.
    float get(Side pSide, int pMeasured, int pShown, float pTwipsPerPixel = twipsPerPixelX()) const;
    void remember(Side pSide, float pTwips, int pMeasured);

  private:
    struct Entry {
        float twips;
        int pixels;
    };
    std::array<std::optional<Entry>, 4> entries_;
};

// Each backend measures and places one side of a form (its outer frame) or of
// a control (within its parent) in twips; twips_geometry.cpp builds the
// accessors of Form and Control on these.
float formSide(const Form::Impl& pForm, Side pSide);
void setFormSide(Form::Impl& pForm, Side pSide, float pTwips);
float controlSide(const Control::Impl& pControl, Side pSide);
void setControlSide(Control::Impl& pControl, Side pSide, float pTwips);

} // namespace zaptrove::platform::forms
