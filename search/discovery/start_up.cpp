// SPDX-License-Identifier: MIT
#include "search/discovery/start_up.h"

#include "search/discovery/location_discovery.h"
#include "settings/settings_store.h"

namespace zaptrove {

void subStartUp(platform::Registry& pRegistry, const UserFolders& pFolders, Settings& pSettings,
                SettingsWindow& pWindow, StoreWrites pWrites) {
    pSettings.DebugMode = DEBUG_OFF;
    subDiscoverLocations(pRegistry, pSettings);
    pSettings.BrowserProfiles = fnDiscoverBrowserProfiles(pFolders);
    if (pWrites == StoreWrites::FirstRun) {
        subLoadSettings(pRegistry, pSettings, pWindow);
    } else {
        fnReadStoredSettings(pRegistry, pSettings, pWindow, WithoutStore::FirstRunStore);
    }
}

} // namespace zaptrove
