// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"

#include <cstdint>
#include <vector>

namespace zaptrove {

class DebugLog;
struct SearchRequest;

// Orders the rows by use when the request asks for it: first by the weight
// the launch record gives their addresses (what was opened from the program),
// then by their browser's use of the page (Firefox's frecency, the Chromium
// family's visits, read from its History only now). The order is stable:
// rows of equal use keep the order they came in. pNow is seconds since 1970.
void subOrderByUse(const SearchRequest& pRequest, std::vector<Bookmark>& pRows, std::int64_t pNow,
                   const DebugLog& pLog);

} // namespace zaptrove
