// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zaptrove {

class DebugLog;
struct SearchRequest;

// Orders the rows by use when the request asks for it: first by the weight
// the launch record gives their addresses (what was opened from the program),
// then by their browser's use of the page (Firefox's frecency, the Chromium
// family's visits, read from its History only now). The order is stable:
// rows of equal use keep the order they came in: pFirstOrder, the places of
// the rows first, second and so on (as fnCandidatesOrder gives them), or, when
// empty, the order they lie in. Either way the rows move once. pNow is seconds
// since 1970.
void subOrderByUse(const SearchRequest& pRequest, std::vector<Bookmark>& pRows,
                   std::span<const std::uint32_t> pFirstOrder, std::int64_t pNow,
                   const DebugLog& pLog);

} // namespace zaptrove
