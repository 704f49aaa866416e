// SPDX-License-Identifier: MIT
#pragma once

#include "platform/registry.h"
#include "settings/settings.h"
#include "settings/settings_window.h"

// Moving Settings between memory and the registry key SettingsKey.
namespace zaptrove {

// Reads the stored settings into pSettings and applies the stored window
// position and width. When none are stored (a first run) it sets the first-run
// values in memory instead. Writes nothing; answers whether settings were stored.
bool fnReadStoredSettings(platform::Registry& pRegistry, Settings& pSettings,
                          SettingsWindow& pWindow);

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
