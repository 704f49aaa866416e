// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/folder_path.h"
#include "search/records/source_name.h"
#include <memory>

#include <string>

namespace zaptrove {

struct BrowserProfile;

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
    // The profile a browser bookmark comes from, shared by every bookmark of
    // one reading; null for the others.
    std::shared_ptr<const BrowserProfile> Profile = {};
    // Where it lives: its source and browser profile, and its folders from the
    // root of that source.
    SourceName Source = {};
    FolderPath Folder = {};

    bool operator==(const Bookmark&) const = default;
};

} // namespace zaptrove
