// SPDX-License-Identifier: MIT
#include "main_window/window_placement.h"

#include <algorithm>

namespace zaptrove {

using platform::forms::TwipsRect;

namespace {

bool contains(const TwipsRect& area, float x, float y) {
    return x >= area.left && x < area.left + area.width && y >= area.top &&
           y < area.top + area.height;
}

bool onSomeScreen(const std::vector<TwipsRect>& screens, float x, float y) {
    return std::any_of(screens.begin(), screens.end(),
                       [&](const TwipsRect& screen) { return contains(screen, x, y); });
}

float overlap(const TwipsRect& a, const TwipsRect& b) {
    const float width = std::min(a.left + a.width, b.left + b.width) - std::max(a.left, b.left);
    const float height = std::min(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// pos moved into [low, high - length], or to low when the length does not fit.
float within(float pos, float length, float low, float high) {
    return std::max(low, std::min(pos, high - length));
}

} // namespace

TwipsRect fnPlaceOnScreen(const TwipsRect& pWindow, const std::vector<TwipsRect>& pScreens) {
    const float right = pWindow.left + std::max(pWindow.width - 1, 0.0f);
    if (pScreens.empty() || (onSomeScreen(pScreens, pWindow.left, pWindow.top) &&
                             onSomeScreen(pScreens, right, pWindow.top))) {
        return pWindow;
    }
    const TwipsRect& screen = *std::max_element(
        pScreens.begin(), pScreens.end(), [&](const TwipsRect& a, const TwipsRect& b) {
            return overlap(a, pWindow) < overlap(b, pWindow);
        });
    TwipsRect placed = pWindow;
    placed.width = std::min(pWindow.width, screen.width);
    placed.left = within(pWindow.left, placed.width, screen.left, screen.left + screen.width);
    placed.top = within(pWindow.top, pWindow.height, screen.top, screen.top + screen.height);
    return placed;
}

} // namespace zaptrove
