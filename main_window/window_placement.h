// SPDX-License-Identifier: MIT
#pragma once

#include "forms/forms.h"

#include <vector>

namespace zaptrove {

// Where a window goes at start-up so that its title bar can be reached: where
// it is when both ends of its top edge lie on screens; otherwise onto the
// screen it overlaps most (the first one when it overlaps none), as close to
// where it was as fits, narrowed only when it is wider than that screen.
platform::forms::TwipsRect fnPlaceOnScreen(const platform::forms::TwipsRect& pWindow,
                                           const std::vector<platform::forms::TwipsRect>& pScreens);

} // namespace zaptrove
