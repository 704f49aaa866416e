// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The browsers whose bookmarks the program reads beside its six locations, and
// one profile of one of them.
namespace zaptrove {

// In reading order: Firefox, then the Chromium family.
enum class Browser : std::uint8_t { Firefox, Chrome, Chromium, Edge, Brave, Vivaldi, Opera };

inline constexpr std::array kBrowsers = {Browser::Firefox, Browser::Chrome, Browser::Chromium,
                                         Browser::Edge,    Browser::Brave,  Browser::Vivaldi,
                                         Browser::Opera};

// "Firefox", "Chrome", "Chromium", "Edge", "Brave", "Vivaldi", "Opera".
inline std::string_view fnBrowserName(Browser pBrowser) {
    constexpr std::array<std::string_view, kBrowsers.size()> kNames = {
        "Firefox", "Chrome", "Chromium", "Edge", "Brave", "Vivaldi", "Opera"};
    return kNames[static_cast<std::size_t>(pBrowser)];
}

// Firefox keeps its bookmarks in places.sqlite; the others in a JSON "Bookmarks".
inline bool fnUsesPlaces(Browser pBrowser) {
    return pBrowser == Browser::Firefox;
}

struct BrowserProfile {
    Browser browser = Browser::Firefox;
    std::string install;       // which installation: "Chrome Beta", "Firefox (snap)"...
    std::string name;          // the profile's name as the browser shows it
    std::string folder;        // the profile folder
    std::string bookmarksFile; // places.sqlite or Bookmarks in that folder
    bool isDefault = false;    // the profile the browser starts with
    std::string problem;       // why its bookmarks cannot be read; empty when they can
    // Added by hand rather than found: its bookmarks file must be there. One
    // found without it is a profile whose browser has made no bookmarks yet.
    bool namedByUser = false;
};

// "Firefox, profile default-esr": where a browser bookmark comes from.
inline std::string fnBrowserSourceLabel(const BrowserProfile& pProfile) {
    return pProfile.install + ", profile " + pProfile.name;
}

} // namespace zaptrove
