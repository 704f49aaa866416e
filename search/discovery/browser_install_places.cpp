// SPDX-License-Identifier: MIT
#include "search/discovery/browser_install_places.h"

#include <array>

namespace zaptrove {

namespace {

using enum Browser;
using B = InstallPlace::Base;

// Firefox: folders holding profiles.ini. The others: "User Data" folders,
// holding "Local State" and the profile folders.
constexpr std::array kLinux = {
    InstallPlace{Firefox, "Firefox", B::Home, ".mozilla/firefox"},
    InstallPlace{Firefox, "Firefox", B::ConfigHome, "mozilla/firefox"},
    InstallPlace{Firefox, "Firefox (snap)", B::Home, "snap/firefox/common/.mozilla/firefox"},
    InstallPlace{Firefox, "Firefox (Flatpak)", B::Home,
                 ".var/app/org.mozilla.firefox/.mozilla/firefox"},
    InstallPlace{Firefox, "Firefox (Flatpak)", B::Home,
                 ".var/app/org.mozilla.firefox/config/mozilla/firefox"},
    InstallPlace{Chrome, "Chrome", B::ConfigHome, "google-chrome"},
    InstallPlace{Chrome, "Chrome Beta", B::ConfigHome, "google-chrome-beta"},
    InstallPlace{Chrome, "Chrome Dev", B::ConfigHome, "google-chrome-unstable"},
    InstallPlace{Chrome, "Chrome (Flatpak)", B::Home,
                 ".var/app/com.google.Chrome/config/google-chrome"},
    InstallPlace{Chromium, "Chromium", B::ConfigHome, "chromium"},
    InstallPlace{Chromium, "Chromium (snap)", B::Home, "snap/chromium/common/chromium"},
    InstallPlace{Chromium, "Chromium (Flatpak)", B::Home,
                 ".var/app/org.chromium.Chromium/config/chromium"},
    InstallPlace{Edge, "Edge", B::ConfigHome, "microsoft-edge"},
    InstallPlace{Edge, "Edge Beta", B::ConfigHome, "microsoft-edge-beta"},
    InstallPlace{Edge, "Edge Dev", B::ConfigHome, "microsoft-edge-dev"},
    InstallPlace{Edge, "Edge (Flatpak)", B::Home,
                 ".var/app/com.microsoft.Edge/config/microsoft-edge"},
    InstallPlace{Brave, "Brave", B::ConfigHome, "BraveSoftware/Brave-Browser"},
    InstallPlace{Brave, "Brave Beta", B::ConfigHome, "BraveSoftware/Brave-Browser-Beta"},
    InstallPlace{Brave, "Brave Nightly", B::ConfigHome, "BraveSoftware/Brave-Browser-Nightly"},
    InstallPlace{Brave, "Brave (snap)", B::Home,
                 "snap/brave/current/.config/BraveSoftware/Brave-Browser"},
    InstallPlace{Brave, "Brave (Flatpak)", B::Home,
                 ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser"},
    InstallPlace{Vivaldi, "Vivaldi", B::ConfigHome, "vivaldi"},
    InstallPlace{Vivaldi, "Vivaldi Snapshot", B::ConfigHome, "vivaldi-snapshot"},
    InstallPlace{Vivaldi, "Vivaldi (snap)", B::Home, "snap/vivaldi/current/.config/vivaldi"},
    InstallPlace{Vivaldi, "Vivaldi (Flatpak)", B::Home,
                 ".var/app/com.vivaldi.Vivaldi/config/vivaldi"},
    InstallPlace{Opera, "Opera", B::ConfigHome, "opera"},
    InstallPlace{Opera, "Opera Beta", B::ConfigHome, "opera-beta"},
    InstallPlace{Opera, "Opera Developer", B::ConfigHome, "opera-developer"},
    InstallPlace{Opera, "Opera (snap)", B::Home, "snap/opera/current/.config/opera"},
    InstallPlace{Opera, "Opera (Flatpak)", B::Home, ".var/app/com.opera.Opera/config/opera"},
};

constexpr std::array kWindows = {
    InstallPlace{Firefox, "Firefox", B::AppData, "Mozilla/Firefox"},
    InstallPlace{Firefox, "Firefox (Store)", B::LocalAppData,
                 "Packages/Mozilla.Firefox*/LocalCache/Roaming/Mozilla/Firefox"},
    InstallPlace{Chrome, "Chrome", B::LocalAppData, "Google/Chrome/User Data"},
    InstallPlace{Chrome, "Chrome Beta", B::LocalAppData, "Google/Chrome Beta/User Data"},
    InstallPlace{Chrome, "Chrome Dev", B::LocalAppData, "Google/Chrome Dev/User Data"},
    InstallPlace{Chrome, "Chrome Canary", B::LocalAppData, "Google/Chrome SxS/User Data"},
    InstallPlace{Chromium, "Chromium", B::LocalAppData, "Chromium/User Data"},
    InstallPlace{Edge, "Edge", B::LocalAppData, "Microsoft/Edge/User Data"},
    InstallPlace{Edge, "Edge Beta", B::LocalAppData, "Microsoft/Edge Beta/User Data"},
    InstallPlace{Edge, "Edge Dev", B::LocalAppData, "Microsoft/Edge Dev/User Data"},
    InstallPlace{Edge, "Edge Canary", B::LocalAppData, "Microsoft/Edge SxS/User Data"},
    InstallPlace{Brave, "Brave", B::LocalAppData, "BraveSoftware/Brave-Browser/User Data"},
    InstallPlace{Brave, "Brave Beta", B::LocalAppData,
                 "BraveSoftware/Brave-Browser-Beta/User Data"},
    InstallPlace{Brave, "Brave Nightly", B::LocalAppData,
                 "BraveSoftware/Brave-Browser-Nightly/User Data"},
    InstallPlace{Vivaldi, "Vivaldi", B::LocalAppData, "Vivaldi/User Data"},
    InstallPlace{Opera, "Opera", B::AppData, "Opera Software/Opera Stable"},
    InstallPlace{Opera, "Opera GX", B::AppData, "Opera Software/Opera GX Stable"},
    InstallPlace{Opera, "Opera Beta", B::AppData, "Opera Software/Opera Next"},
    InstallPlace{Opera, "Opera Developer", B::AppData, "Opera Software/Opera Developer"},
};

constexpr std::array kMacOS = {
    InstallPlace{Firefox, "Firefox", B::Home, "Library/Application Support/Firefox"},
    InstallPlace{Chrome, "Chrome", B::Home, "Library/Application Support/Google/Chrome"},
    InstallPlace{Chrome, "Chrome Beta", B::Home, "Library/Application Support/Google/Chrome Beta"},
    InstallPlace{Chrome, "Chrome Dev", B::Home, "Library/Application Support/Google/Chrome Dev"},
    InstallPlace{Chrome, "Chrome Canary", B::Home,
                 "Library/Application Support/Google/Chrome Canary"},
    InstallPlace{Chromium, "Chromium", B::Home, "Library/Application Support/Chromium"},
    InstallPlace{Edge, "Edge", B::Home, "Library/Application Support/Microsoft Edge"},
    InstallPlace{Edge, "Edge Beta", B::Home, "Library/Application Support/Microsoft Edge Beta"},
    InstallPlace{Edge, "Edge Dev", B::Home, "Library/Application Support/Microsoft Edge Dev"},
    InstallPlace{Edge, "Edge Canary", B::Home, "Library/Application Support/Microsoft Edge Canary"},
    InstallPlace{Brave, "Brave", B::Home,
                 "Library/Application Support/BraveSoftware/Brave-Browser"},
    InstallPlace{Brave, "Brave Beta", B::Home,
                 "Library/Application Support/BraveSoftware/Brave-Browser-Beta"},
    InstallPlace{Brave, "Brave Nightly", B::Home,
                 "Library/Application Support/BraveSoftware/Brave-Browser-Nightly"},
    InstallPlace{Vivaldi, "Vivaldi", B::Home, "Library/Application Support/Vivaldi"},
    InstallPlace{Opera, "Opera", B::Home, "Library/Application Support/com.operasoftware.Opera"},
    InstallPlace{Opera, "Opera GX", B::Home,
                 "Library/Application Support/com.operasoftware.OperaGX"},
    InstallPlace{Opera, "Opera Beta", B::Home,
                 "Library/Application Support/com.operasoftware.OperaNext"},
    InstallPlace{Opera, "Opera Developer", B::Home,
                 "Library/Application Support/com.operasoftware.OperaDeveloper"},
};

} // namespace

std::span<const InstallPlace> fnInstallPlaces(UserFolders::Layout pLayout) {
    switch (pLayout) {
    case UserFolders::Layout::Windows:
        return kWindows;
    case UserFolders::Layout::MacOS:
        return kMacOS;
    case UserFolders::Layout::Linux:
        break;
    }
    return kLinux;
}

} // namespace zaptrove
