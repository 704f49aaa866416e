// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zaptrove {

class DebugLog;
struct SearchRequest;

// A row's use and place: the weight the launch record gives its address,
// its browser's use of the page (never negative).
struct RowUse {
    double launches;
    std::int64_t browser;
    std::uint32_t place;
};

// What ordering by use reads of the rows: each row's use, by its place, and
// what to log then: how many addresses the launch record weighs, and the
// Histories that could not be read.
struct RowUses {
    std::vector<RowUse> uses;
    std::size_t launchAddresses = 0;
    std::vector<std::string> problems;
};

// Reads the rows' uses when the request orders by use (none otherwise): the
// weight the launch record gives their addresses (what was opened from the
// program) and their browser's use of the page (Firefox's frecency, the
// Chromium family's visits, read from its History only now). It reads the
// rows' addresses and sources and writes only their Frecency, so their first
// order may be worked out meanwhile. pNow is seconds since 1970.
RowUses fnReadRowUses(const SearchRequest& pRequest, std::vector<Bookmark>& pRows,
                      std::int64_t pNow);

// Orders the rows by the uses read of them: first by the launch record's
// weight, then by their browser's use. The order is stable: rows of equal use
// keep the order they came in: pFirstOrder, the places of the rows first,
// second and so on (as fnCandidatesOrder gives them), or, when empty, the
// order they lie in. Either way the rows move once.
void subOrderByUse(const SearchRequest& pRequest, std::vector<Bookmark>& pRows,
                   std::span<const std::uint32_t> pFirstOrder, RowUses pUses, const DebugLog& pLog);

} // namespace zaptrove
