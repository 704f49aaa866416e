// SPDX-License-Identifier: MIT
#pragma once

#include "registry/registry.h"
#include "settings/settings.h"
#include "settings/settings_window.h"

// Moving Settings between memory and the registry key SettingsKey.
namespace zaptrove {

// What is held when no settings are stored: what the window's first session
// holds, or what every later start reads back from the values a first run
// writes (the two differ in the Netscape switches, which the first session
// holds on and stores off). zaptrove-find, which never writes the store,
// holds the latter, as the window does from its second start.
enum class WithoutStore { FirstSession, FirstRunStore };

// Reads the stored settings into pSettings and applies the stored window
// position and width. When none are stored (a first run) it sets the values
// pWithout names in memory instead. Writes nothing; answers whether settings
// were stored.
bool fnReadStoredSettings(platform::Registry& pRegistry, Settings& pSettings,
                          SettingsWindow& pWindow,
                          WithoutStore pWithout = WithoutStore::FirstSession);

// Start-up loading: fnReadStoredSettings, and on a first run the key is created
// and the first-run values are written.
void subLoadSettings(platform::Registry& pRegistry, Settings& pSettings, SettingsWindow& pWindow);

// The saving done when the main window unloads: every setting (unless Function is
// FUNC_RESET) and, when the window is not minimised, its geometry, as one update.
void subSaveSettings(platform::Registry& pRegistry, const Settings& pSettings,
                     const SettingsWindow& pWindow);

// Deletes every stored value and the key itself.
void subDeleteSettings(platform::Registry& pRegistry);

} // namespace zaptrove
