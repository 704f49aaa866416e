// SPDX-License-Identifier: MIT
#pragma once

#include "search/discovery/browser_discovery.h"

#include <span>
#include <string_view>

// Where each browser keeps its profiles, per system.
namespace zaptrove {

struct InstallPlace {
    enum class Base { Home, ConfigHome, AppData, LocalAppData };
    Browser browser;
    std::string_view label; // the installation as the user knows it
    Base base;
    // Below the base, with "/" between folders. A folder name ending in "*"
    // stands for every folder whose name starts with what comes before it.
    std::string_view relative;
};

// In reading order: by browser, then installation.
std::span<const InstallPlace> fnInstallPlaces(UserFolders::Layout pLayout);

} // namespace zaptrove
