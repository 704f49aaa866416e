// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/folder_path.h"
#include "search/records/source_name.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zaptrove {

struct BrowserProfile;

// Where one more copy of a bookmark's address lives, when copies are merged.
struct BookmarkCopy {
    SourceName Source;
    FolderPath Folder;

    bool operator==(const BookmarkCopy&) const = default;
};

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
    // With one row per address, where the later copies of its address live,
    // in reading order; this record is the first copy. Empty otherwise.
    std::vector<BookmarkCopy> OtherCopies = {};
    // A Firefox bookmark's tags, by name, shared by the bookmarks of one
    // page; null for a bookmark without.
    std::shared_ptr<const std::vector<std::string>> Tags = {};
    // A Firefox keyword bookmark whose keyword comes with POST data, which
    // opening it does not send.
    bool UnsentPostData = false;
    // How much its browser uses its page: Firefox's frecency, or for the
    // Chromium family a score on the same scale from its visits (read only
    // when ordering by use); 0 when unknown.
    std::int64_t Frecency = 0;

    bool operator==(const Bookmark&) const = default;
};

} // namespace zaptrove
