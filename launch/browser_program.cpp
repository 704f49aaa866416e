// SPDX-License-Identifier: MIT
#include "launch/browser_program.h"

#include "launch/desktop_entry.h"
#include "platform/files.h"
#include "platform/program_start.h"
#include "registry/registry.h"
#include "settings/registry_values.h"

#include <algorithm>
#include <array>

namespace zaptrove {

namespace {

using enum Browser;

enum class Sandbox { None, Snap, Flatpak };

// One installation's program: its desktop entries and the names it has on
// PATH, space-separated, and the snap or Flatpak it comes as.
struct ProgramRow {
    Browser browser;
    std::string_view install; // as the profile's install names it
    std::string_view desktopIds;
    std::string_view names;
    Sandbox sandbox = Sandbox::None;
    std::string_view sandboxName = {};
};

// clang-format off
constexpr std::array kLinuxPrograms = {
    ProgramRow{Firefox,  "Firefox",            "firefox.desktop firefox-esr.desktop", "firefox firefox-esr"},
    ProgramRow{Firefox,  "Firefox (snap)",     "firefox_firefox.desktop", "", Sandbox::Snap, "firefox"},
    ProgramRow{Firefox,  "Firefox (Flatpak)",  "org.mozilla.firefox.desktop", "", Sandbox::Flatpak, "org.mozilla.firefox"},
    ProgramRow{Chrome,   "Chrome",             "google-chrome.desktop", "google-chrome google-chrome-stable"},
    ProgramRow{Chrome,   "Chrome Beta",        "google-chrome-beta.desktop", "google-chrome-beta"},
    ProgramRow{Chrome,   "Chrome Dev",         "google-chrome-unstable.desktop", "google-chrome-unstable"},
    ProgramRow{Chrome,   "Chrome (Flatpak)",   "com.google.Chrome.desktop", "", Sandbox::Flatpak, "com.google.Chrome"},
    ProgramRow{Chromium, "Chromium",           "chromium.desktop chromium-browser.desktop", "chromium chromium-browser"},
    ProgramRow{Chromium, "Chromium (snap)",    "chromium_chromium.desktop", "", Sandbox::Snap, "chromium"},
    ProgramRow{Chromium, "Chromium (Flatpak)", "org.chromium.Chromium.desktop", "", Sandbox::Flatpak, "org.chromium.Chromium"},
    ProgramRow{Edge,     "Edge",               "microsoft-edge.desktop", "microsoft-edge microsoft-edge-stable"},
    ProgramRow{Edge,     "Edge Beta",          "microsoft-edge-beta.desktop", "microsoft-edge-beta"},
    ProgramRow{Edge,     "Edge Dev",           "microsoft-edge-dev.desktop", "microsoft-edge-dev"},
    ProgramRow{Edge,     "Edge (Flatpak)",     "com.microsoft.Edge.desktop", "", Sandbox::Flatpak, "com.microsoft.Edge"},
    ProgramRow{Brave,    "Brave",              "brave-browser.desktop", "brave-browser"},
    ProgramRow{Brave,    "Brave Beta",         "brave-browser-beta.desktop", "brave-browser-beta"},
    ProgramRow{Brave,    "Brave Nightly",      "brave-browser-nightly.desktop", "brave-browser-nightly"},
    ProgramRow{Brave,    "Brave (snap)",       "brave_brave.desktop", "", Sandbox::Snap, "brave"},
    ProgramRow{Brave,    "Brave (Flatpak)",    "com.brave.Browser.desktop", "", Sandbox::Flatpak, "com.brave.Browser"},
    ProgramRow{Vivaldi,  "Vivaldi",            "vivaldi-stable.desktop", "vivaldi vivaldi-stable"},
    ProgramRow{Vivaldi,  "Vivaldi Snapshot",   "vivaldi-snapshot.desktop", "vivaldi-snapshot"},
    ProgramRow{Vivaldi,  "Vivaldi (snap)",     "vivaldi_vivaldi-stable.desktop", "", Sandbox::Snap, "vivaldi"},
    ProgramRow{Vivaldi,  "Vivaldi (Flatpak)",  "com.vivaldi.Vivaldi.desktop", "", Sandbox::Flatpak, "com.vivaldi.Vivaldi"},
    ProgramRow{Opera,    "Opera",              "opera.desktop", "opera"},
    ProgramRow{Opera,    "Opera Beta",         "opera-beta.desktop", "opera-beta"},
    ProgramRow{Opera,    "Opera Developer",    "opera-developer.desktop", "opera-developer"},
    ProgramRow{Opera,    "Opera (snap)",       "opera_opera.desktop", "", Sandbox::Snap, "opera"},
    ProgramRow{Opera,    "Opera (Flatpak)",    "com.opera.Opera.desktop", "", Sandbox::Flatpak, "com.opera.Opera"},
};

// Windows: the browser's StartMenuInternet client and App Paths program. Only
// the browser's main installation (named as the browser) is registered there.
struct WindowsRow {
    Browser browser;
    std::string_view client;
    std::string_view executable;
};
constexpr std::array kWindowsPrograms = {
    WindowsRow{Firefox,  "FIREFOX.EXE",    "firefox.exe"},
    WindowsRow{Chrome,   "Google Chrome",  "chrome.exe"},
    WindowsRow{Chromium, "Chromium",       ""},
    WindowsRow{Edge,     "Microsoft Edge", "msedge.exe"},
    WindowsRow{Brave,    "Brave",          "brave.exe"},
    WindowsRow{Vivaldi,  "Vivaldi",        "vivaldi.exe"},
    WindowsRow{Opera,    "OperaStable",    "opera.exe"},
};

// The switch that opens a private window, by browser.
constexpr std::array<std::string_view, kBrowsers.size()> kPrivateWindowSwitches = {
    "--private-window", // Firefox
    "--incognito",      // Chrome
    "--incognito",      // Chromium
    "--inprivate",      // Edge
    "--incognito",      // Brave
    "--incognito",      // Vivaldi
    "--private",        // Opera
};
// clang-format on

template <typename Each> void forEachWord(std::string_view words, Each each) {
    while (!words.empty()) {
        const std::size_t space = words.find(' ');
        each(words.substr(0, space));
        words.remove_prefix(space == std::string_view::npos ? words.size() : space + 1);
    }
}

std::string joined(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path += name;
}

std::string onPath(const ProgramPlaces& places, std::string_view name) {
    for (const std::string& folder : places.pathFolders) {
        if (std::string path = joined(folder, name); platform::isProgramFile(path)) {
            return path;
        }
    }
    return {};
}

// The first entry of this id in the data folders decides, as the desktop's
// lookup does: a hidden one hides the later ones.
BrowserProgram fromDesktopEntry(const ProgramPlaces& places, std::string_view id) {
    for (const std::string& folder : places.dataFolders) {
        const std::string path = joined(joined(folder, "applications"), id);
        std::string entry;
        if (platform::readWholeFile(path, entry, 1 << 20)) {
            return {fnDesktopEntryCommand(entry), false, "desktop entry " + path};
        }
    }
    return {};
}

bool isFolder(const std::string& path) {
    return platform::folderIdentity(path).has_value();
}

// "snap run NAME" or "flatpak run ID", when the snap or app is installed.
BrowserProgram fromSandbox(const ProgramPlaces& places, const ProgramRow& row) {
    const std::string name(row.sandboxName);
    bool installed = row.sandbox == Sandbox::Snap && isFolder(joined(places.snapFolder, name));
    for (const std::string& folder : places.flatpakFolders) {
        installed |=
            row.sandbox == Sandbox::Flatpak && isFolder(joined(joined(folder, "app"), name));
    }
    const std::string_view runner = row.sandbox == Sandbox::Snap ? "snap" : "flatpak";
    if (std::string program = installed ? onPath(places, runner) : std::string();
        !program.empty()) {
        return {{program, "run", name}, false, std::string(runner) + " " + name};
    }
    return {};
}

BrowserProgram linuxProgram(const ProgramRow& row, const ProgramPlaces& places) {
    BrowserProgram found;
    forEachWord(row.desktopIds, [&](std::string_view id) {
        if (found.command.empty()) {
            found = fromDesktopEntry(places, id);
        }
    });
    forEachWord(row.names, [&](std::string_view name) {
        if (found.command.empty()) {
            if (std::string path = onPath(places, name); !path.empty()) {
                found = {{path}, false, "PATH " + path};
            }
        }
    });
    return found.command.empty() ? fromSandbox(places, row) : found;
}

// The program a "shell\open\command" or App Paths value names: its first
// word, or what its quotes hold.
std::string programOfCommand(std::string_view command) {
    if (command.starts_with('"')) {
        command.remove_prefix(1);
        return std::string(command.substr(0, command.find('"')));
    }
    return std::string(command.substr(0, command.find(' ')));
}

BrowserProgram windowsProgram(const WindowsRow& row, platform::Registry& registry) {
    using platform::RegistryRoot;
    const std::string client = "SOFTWARE\\Clients\\StartMenuInternet\\" + std::string(row.client) +
                               "\\shell\\open\\command";
    const std::string appPath =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + std::string(row.executable);
    for (const std::string& path : {client, appPath}) {
        if (path.ends_with('\\')) {
            continue; // no App Paths name
        }
        for (const RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
            const platform::KeyHandle key = registry.openKey(root, path);
            std::string value;
            const bool read = key != 0 && fnReadValue(registry, key, "", value) == 0;
            registry.closeKey(key);
            if (std::string program = read ? programOfCommand(value) : std::string();
                !program.empty()) {
                return {{program}, false, "registry " + path};
            }
        }
    }
    return {};
}

} // namespace

std::string_view fnPrivateWindowSwitch(Browser pBrowser) {
    return kPrivateWindowSwitches[static_cast<std::size_t>(pBrowser)];
}

ProgramPlaces fnCurrentProgramPlaces(platform::Registry* pRegistry) {
    ProgramPlaces places;
    places.layout = fnCurrentUserFolders().layout;
    places.registry = pRegistry;
#ifndef _WIN32
    const auto split = [](const std::string& list, std::vector<std::string>& into) {
        std::size_t start = 0;
        while (start <= list.size()) {
            const std::size_t colon = std::min(list.find(':', start), list.size());
            if (colon > start && list[start] == '/') {
                into.push_back(list.substr(start, colon - start));
            }
            start = colon + 1;
        }
    };
    if (std::string dataHome = platform::xdgBaseFolder("XDG_DATA_HOME", ".local/share");
        !dataHome.empty()) {
        places.flatpakFolders.push_back(dataHome + "/flatpak");
        places.dataFolders.push_back(std::move(dataHome));
    }
    places.flatpakFolders.emplace_back("/var/lib/flatpak");
    const std::string dataDirs = platform::environmentValue("XDG_DATA_DIRS");
    split(dataDirs.empty() ? "/usr/local/share:/usr/share" : dataDirs, places.dataFolders);
    split(platform::environmentValue("PATH"), places.pathFolders);
#endif
    return places;
}

BrowserProgram fnFindBrowserProgram(const BrowserProfile& pProfile, const ProgramPlaces& pPlaces) {
    if (pPlaces.layout == UserFolders::Layout::Windows) {
        for (const WindowsRow& row : kWindowsPrograms) {
            if (row.browser == pProfile.browser && pPlaces.registry != nullptr) {
                BrowserProgram found = windowsProgram(row, *pPlaces.registry);
                found.ownInstall = pProfile.install == fnBrowserName(pProfile.browser);
                return found;
            }
        }
        return {};
    }
    // Its own installation first, then the browser's others in table order.
    for (const bool own : {true, false}) {
        for (const ProgramRow& row : kLinuxPrograms) {
            if (row.browser == pProfile.browser && (row.install == pProfile.install) == own) {
                if (BrowserProgram found = linuxProgram(row, pPlaces); !found.command.empty()) {
                    found.ownInstall = own;
                    return found;
                }
            }
        }
    }
    return {};
}

} // namespace zaptrove
