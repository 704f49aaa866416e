// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/sources/kept_rows.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zaptrove {

class DebugLog;
struct SearchRequest;

// Quicksort of pList[pLow..pHigh] in place, ascending by the lower-cased display
// text of the name (pByUrl 0) or of the address (any other value). The pivot is
// the element at the middle index, (pLow + pHigh) / 2 rounded half to even; the
// resulting order of equal keys follows from that rule and is part of the
// program's behaviour.
void subSort(std::vector<Bookmark>& pList, int pByUrl, std::size_t pLow, std::size_t pHigh);

// Orders the candidates as the request's sort asks and logs the step. When
// pRanksComparable (the candidates come from one source) and every candidate
// has its Rank, the ranks are compared in place of the keys they stand
// for, which gives the same order, equal keys included.
void subOrderCandidates(const SearchRequest& pRequest, std::vector<Bookmark>& pCandidates,
                        const DebugLog& pLog, bool pRanksComparable = false);

// The order subOrderCandidates would put the candidates in, logged the same
// way, the candidates left where they are: the place of the candidate that
// goes first, then of the one that goes second, and so on; none when the
// request orders nothing (they stay as read).
std::vector<std::uint32_t> fnCandidatesOrder(const SearchRequest& pRequest,
                                             const std::vector<Bookmark>& pCandidates,
                                             const DebugLog& pLog, bool pRanksComparable);

// Orders the rows of one kept file as subOrderCandidates orders their records,
// by the ranks KeptRows gave them for fnKeptRowsOrder(pRequest, ...), and logs
// the step the same way.
void subOrderKeptMatch(const SearchRequest& pRequest, KeptMatch& pRows, const DebugLog& pLog);

// The order KeptRows ranks the rows of a file by for the request: a browser's
// file (pBrowser) or another.
KeptRowOrder fnKeptRowsOrder(const SearchRequest& pRequest, bool pBrowser);

} // namespace zaptrove
