// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/request/search_request.h"
#include "search/sources/kept_rows.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

class DebugLog;

// An enabled source that could not be read (or not whole), and why.
struct UnreadableSource {
    std::string Kind;     // "Favorites folder", "Netscape file", "Opera file", "Firefox profile"...
    std::string Location; // the path read
    std::string Reason;   // in the system's words, e.g. "No such file or directory"
};

// What a search run ends in: the result records and the list line of each
// (unless the caller makes them), or nothing found (and then no records and no
// lines). The sources that could not
// be read, or not whole, in reading order, and how many were enabled are for the command
// line and the log; the window does not show them.
struct SearchOutcome {
    bool Found = false;
    std::vector<Bookmark> Results;
    // With ListLines::OnDemand, the rows of a file kept (KeptRows) that alone
    // answer, in order, in place of their records: Results holds none, and
    // the caller makes the records of the rows it shows (ListedRows).
    KeptMatch KeptResults;
    // With ListLines::OnDemandInPlace, when not empty: the places in Results of
    // the first row, the second and so on, the records left where they were read.
    std::vector<std::uint32_t> Order;
    std::vector<std::string> Lines;
    std::vector<UnreadableSource> Unreadable;
    // Those read only in part (a file cut short): their bookmarks before the
    // damage are in the results.
    std::vector<UnreadableSource> ReadInPart;
    std::size_t SourcesEnabled = 0;
};

// The search run for a request (fnSearchRequest makes it from the text typed
// into the input box and the settings): reads every source it names (Internet
// Explorer, Netscape, Opera, main before alternative; then the browser
// profiles switched on), keeps the bookmarks that contain the text, merges
// the copies of one address when asked to, orders them, drops neighbouring
// duplicates when asked to, and builds the list lines. When the first word
// typed is the keyword of a bookmark in a Firefox profile read, that bookmark
// comes first, its address filled with the rest of the text
// (fnFillKeywordAddress), before the ordered rows and never merged with them.
//
// With ListLines::OnDemand the lines are left to the caller, which makes each
// with fnListLine as it needs it, so they are never all held at once. With
// ListLines::OnDemandInPlace the records need not move into their order
// either: SearchOutcome::Order may give it instead.
enum class ListLines { Built, OnDemand, OnDemandInPlace };
SearchOutcome subSearch(const SearchRequest& pRequest, const DebugLog& pLog,
                        ListLines pLines = ListLines::Built);

} // namespace zaptrove
