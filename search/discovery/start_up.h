// SPDX-License-Identifier: MIT
#pragma once

#include "registry/registry.h"
#include "search/discovery/browser_discovery.h"
#include "settings/settings.h"
#include "settings/settings_window.h"

namespace zaptrove {

// Whether start-up may write the store: the window writes a first run's
// values; zaptrove-find never writes.
enum class StoreWrites { FirstRun, None };

// The settings as start-up leaves them, for the window and zaptrove-find
// alike: the log off, the Favorites folder and the Netscape file found on this
// machine, the browser profiles found in pFolders, then the stored settings
// (or a first run's) over them.
void subStartUp(platform::Registry& pRegistry, const UserFolders& pFolders, Settings& pSettings,
                SettingsWindow& pWindow, StoreWrites pWrites);

} // namespace zaptrove
