// SPDX-License-Identifier: MIT
#pragma once

#include "search/discovery/browser_discovery.h"

#include <string>
#include <string_view>
#include <vector>

namespace zaptrove::platform {
class Registry;
}

// Finding the program of a browser profile's browser, as the desktop finds it.
namespace zaptrove {

// Where browser programs are looked for. Tests pass fake ones.
struct ProgramPlaces {
    UserFolders::Layout layout = UserFolders::Layout::Linux;
    // $XDG_DATA_HOME, then $XDG_DATA_DIRS: desktop entries lie in their
    // "applications" folders.
    std::vector<std::string> dataFolders;
    std::vector<std::string> pathFolders; // $PATH
    std::string snapFolder = "/snap";     // a folder per installed snap
    // Flatpak's installations, each with an "app" folder per installed app:
    // the user's ($XDG_DATA_HOME/flatpak), then the system's.
    std::vector<std::string> flatpakFolders;
    // On Windows, the StartMenuInternet and App Paths keys; none elsewhere.
    platform::Registry* registry = nullptr;
};

// The running system's places, from its environment.
ProgramPlaces fnCurrentProgramPlaces(platform::Registry* pRegistry);

struct BrowserProgram {
    // The program and the arguments its entry starts it with; empty when none
    // was found.
    std::vector<std::string> command;
    // The program of the installation the profile was found in, whose own
    // profile folders it uses when told no other.
    bool ownInstall = false;
    std::string foundAs; // for the log: the desktop entry, the PATH name, the key
};

// The program that opens the profile: first one of its own installation (a
// desktop entry in an "applications" folder of the data folders, a usual name
// on PATH, "snap run" or "flatpak run" for those installs; on Windows the
// StartMenuInternet and App Paths entries), then one of another installation
// of the same browser.
BrowserProgram fnFindBrowserProgram(const BrowserProfile& pProfile, const ProgramPlaces& pPlaces);

// The switch that opens the browser's private window: "--private-window",
// "--incognito", Edge's "--inprivate", Opera's "--private".
std::string_view fnPrivateWindowSwitch(Browser pBrowser);

} // namespace zaptrove
