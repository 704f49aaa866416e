// SPDX-License-Identifier: MIT
#pragma once

#include "search/bookmark.h"

#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

class DebugLog;
struct Settings;

// What a search run ends in: the result records and the list line of each, or
// nothing found (and then no records and no lines).
struct SearchOutcome {
    bool Found = false;
    std::vector<Bookmark> Results;
    std::vector<std::string> Lines;
};

// The search run for the text typed into the input box: reads every enabled
// source (Internet Explorer, Netscape, Opera, main before alternative; then the
// browser profiles switched on), keeps the bookmarks that contain the text,
// orders them, drops neighbouring duplicates when asked to, and builds the list
// lines.
SearchOutcome subSearch(std::string_view pInput, const Settings& pSettings, const DebugLog& pLog);

} // namespace zaptrove
