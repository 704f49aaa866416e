// SPDX-License-Identifier: MIT
#pragma once

// What loading and saving the settings need of the main window: its position
// and size in twips, and whether it is minimised. The window implements it;
// tests and the command line use stand-ins.
namespace zaptrove {

class SettingsWindow {
  public:
    virtual ~SettingsWindow() = default;
    virtual float windowTop() const = 0;
    virtual float windowLeft() const = 0;
    virtual float windowWidth() const = 0;
    virtual float windowHeight() const = 0;
    virtual bool isMinimized() const = 0;
    virtual void setWindowTop(float pTwips) = 0;
    virtual void setWindowLeft(float pTwips) = 0;
    virtual void setWindowWidth(float pTwips) = 0;
};

} // namespace zaptrove
