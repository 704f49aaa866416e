// SPDX-License-Identifier: MIT
#pragma once

#include "search/matching/matcher.h"
#include "search/matching/search_mode.h"
#include "search/records/browser_profile.h"
#include "search/sources/locations.h"
#include "settings/settings.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

class KeptRows;

// A location the search reads: its row of kLocations and the path its reader takes.
struct LocationToRead {
    const Location* location;
    std::string path;
    bool namedByUser = true; // else a path start-up found, which may not be there
};

// What one search run is asked to do: the text, how it is matched, how the
// results are ordered and thinned, and the sources, in reading order.
struct SearchRequest {
    std::string term = {}; // as typed
    SearchMode mode = SearchMode::Name;
    std::int16_t sort = SORT_SEARCHED;
    bool removeDuplicates = false;
    bool mergeCopies = false; // one row per address, before ordering
    // Ordered by use at the end, by the launch record at launchRecord and the
    // browsers' own use.
    bool rankByUse = false;
    std::string launchRecord = {};
    MatchRules rules = {};
    // The folders whose bookmarks, at any depth inside them, are left out.
    std::vector<std::string> leaveOut = {};
    // The locations switched on that name one, and the browser profiles
    // switched on, in reading order.
    std::vector<LocationToRead> locations = {};
    std::vector<BrowserProfile> browsers = {};
    // Set by a caller that may give up on the run (the window, when a newer
    // search replaces it): looked at before each source and before ordering;
    // a run it stops ends with nothing found. It must outlive the run.
    const std::atomic<bool>* stop = nullptr;
    // Rows kept from earlier readings of the bookmark files, matched instead
    // of reading a file again while it has not changed (the window's); null
    // to read every file afresh.
    KeptRows* keptRows = nullptr;

    bool stopRequested() const { return stop != nullptr && stop->load(std::memory_order_relaxed); }
};

// The mode of a stored Function code; one outside name, URL and both finds nothing.
SearchMode fnSearchMode(std::int16_t pFunction);

// The request the settings make for the typed text.
SearchRequest fnSearchRequest(std::string_view pTerm, const Settings& pSettings);

} // namespace zaptrove
