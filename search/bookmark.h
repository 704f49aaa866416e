// SPDX-License-Identifier: MIT
#pragma once

#include "search/folder_path.h"
#include "search/source_name.h"

#include <string>

namespace zaptrove {

// One bookmark. For an Internet Explorer favorite, Name is the full path of its
// shortcut file and IsShortcut is set.
struct Bookmark {
    std::string Name;
    std::string URL;
    bool IsShortcut = false;
    // A favorite found by its name alone: its address is not read yet, and URL
    // stays empty until subReadPendingAddress reads it from the shortcut file.
    bool AddressPending = false;
    // For a browser bookmark, the browser and profile it comes from; empty for
    // the others.
    std::string Origin = {};
    // Where it lives: its source and browser profile, and its folders from the
    // root of that source.
    SourceName Source = {};
    FolderPath Folder = {};

    bool operator==(const Bookmark&) const = default;
};

} // namespace zaptrove
