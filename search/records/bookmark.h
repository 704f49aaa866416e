// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark_extras.h"
#include "search/records/folder_path.h"
#include "search/records/source_name.h"

#include <cstdint>
#include <string>

namespace zaptrove {

// Where a record's order key lies among the keys of the file it was kept from
// (KeptRows), 1 for the first; 0 when not known. It only speeds the ordering
// up, so two records that agree in everything else are equal whatever it holds.
struct OrderRank {
    std::uint32_t value = 0;
    bool operator==(const OrderRank&) const { return true; }
};

// One bookmark. For an Internet Explorer favorite, Name is the full path of its
// shortcut file and IsShortcut is set. A search may hold a million of them, so
// what most have none of lies in extras, and what one reading shares is shared.
struct Bookmark {
    std::string Name;
    std::string URL;
    bool IsShortcut = false;
    // A favorite found by its name alone: its address is not read yet, and URL
    // stays empty until subReadPendingAddress reads it from the shortcut file.
    bool AddressPending = false;
    // A Firefox keyword bookmark whose keyword comes with POST data, which
    // opening it does not send.
    bool UnsentPostData = false;
    // The rank of the key its search orders it by.
    OrderRank Rank = {};
    // Where it lives: its source and browser profile (for a browser bookmark,
    // Source.browser() and Source.origin()), and its folders from the root of
    // that source.
    SourceName Source = {};
    FolderPath Folder = {};
    // How much its browser uses its page: Firefox's frecency, or for the
    // Chromium family a score on the same scale from its visits (read only
    // when ordering by use); 0 when unknown.
    std::int64_t Frecency = 0;
    // Its other copies when merged, and its tags.
    ExtrasSlot extras = {};

    bool operator==(const Bookmark&) const = default;
};

} // namespace zaptrove
