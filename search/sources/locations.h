// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/records/source_reading.h"
#include "search/sources/favorites_reader.h"
#include "search/sources/netscape_reader.h"
#include "search/sources/opera_reader.h"
#include "settings/settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The six bookmark locations, described once for the search, the source
// listing, the command line's options and the Preferences dialog.
namespace zaptrove {

class DebugLog;
class Matcher;

// How every location is read: the path, the matcher, where the matching
// bookmarks go, the log; answers how many were kept and why the location
// could not be read.
using LocationReader = SourceReading (*)(std::string_view, const Matcher&, std::vector<Bookmark>&,
                                         const DebugLog&);

struct Location {
    const char* label;  // "MSIE Main", as the Preferences dialog and the source listing name it
    const char* option; // "favorites": zaptrove-find's --favorites
    const char* kind;   // "Favorites folder", in messages
    std::int16_t Settings::*doField;
    std::string Settings::*path;
    bool isFolder;
    LocationReader reader;
    // Where start-up keeps the path it found on this machine, for the two
    // locations it looks for; nullptr for the others, which only the user names.
    std::string Settings::*found = nullptr;
};

// In reading order: Favorites, Netscape, Opera, each main before alternative.
inline constexpr std::array<Location, 6> kLocations = {{
    {"MSIE Main", "favorites", "Favorites folder", &Settings::DoMSIE, &Settings::MSIEMain, true,
     fnReadFavorites, &Settings::MSIEMainFound},
    {"MSIE Alt", "favorites-alt", "Favorites folder", &Settings::DoMSIEEx, &Settings::MSIEAlt, true,
     fnReadFavorites},
    {"Netscape Main", "netscape", "Netscape file", &Settings::DoNetscape, &Settings::NetscapeMain,
     false, fnReadNetscape, &Settings::NetscapeMainFound},
    {"Netscape Alt", "netscape-alt", "Netscape file", &Settings::DoNetscapeEx,
     &Settings::NetscapeAlt, false, fnReadNetscape},
    {"Opera Main", "opera", "Opera file", &Settings::DoOpera, &Settings::OperaMain, false,
     fnReadOpera},
    {"Opera Alt", "opera-alt", "Opera file", &Settings::DoOperaEx, &Settings::OperaAlt, false,
     fnReadOpera},
}};

// The path a location's stored text names, as its reader takes it and the log
// and the source listing show it; nothing when it names none (empty, "<not
// found>", or a folder path of separators only, which would mean a whole
// drive). A folder path ends in "\" as stored: one is put in place of a final
// "/" or where it has none. Before its end, "/" separates names; so does "\"
// on Windows, while on Linux it is a byte of a name, as a file path is taken.
std::optional<std::string> fnLocationPath(std::string_view pStored, bool pIsFolder);

// What a path of fnLocationPath's opens on this system: a folder path ends in
// the system's separator.
std::string fnPathOnDisk(const Location& pLocation, std::string_view pPath);

// False while the location holds the path start-up found (the default
// Favorites folder, the Netscape file a profile names); true for any other
// path, which the user gave.
bool fnNamedByUser(const Location& pLocation, const Settings& pSettings);

} // namespace zaptrove
