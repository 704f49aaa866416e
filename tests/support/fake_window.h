// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settings_window.h"

namespace zaptrove::test {

// A main window stand-in that remembers what loading set on it.
struct FakeWindow final : SettingsWindow {
    float top = 1200;
    float left = 2400;
    float width = 4500;
    float height = 991;
    bool minimized = false;

    float windowTop() const override { return top; }
    float windowLeft() const override { return left; }
    float windowWidth() const override { return width; }
    float windowHeight() const override { return height; }
    bool isMinimized() const override { return minimized; }
    void setWindowTop(float twips) override { top = twips; }
    void setWindowLeft(float twips) override { left = twips; }
    void setWindowWidth(float twips) override { width = twips; }
};

} // namespace zaptrove::test
