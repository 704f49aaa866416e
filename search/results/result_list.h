// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"

#include <string>
#include <vector>

namespace zaptrove {

class DebugLog;
struct SearchRequest;

// Keeps the ordered candidates as the results, dropping each one that equals
// the last record kept when the request removes duplicates. The key is the
// name, the address, or both (either equal drops), by its sort, or by its
// function when it sorts as searched. The first candidate is always kept.
std::vector<Bookmark> fnRemoveDuplicates(const SearchRequest& pRequest,
                                         std::vector<Bookmark> pCandidates, const DebugLog& pLog);

// True when ordering or duplicate removal will compare addresses, so the
// favorites a name search found must have theirs read first.
bool fnOrderUsesAddress(const SearchRequest& pRequest);

// Reads the address of every favorite whose address is pending from its
// shortcut file. Other records are left alone.
void subReadMissingShortcutAddresses(std::vector<Bookmark>& pRecords);

// Whether the request's list lines start with the name; they start with the
// address when the results are ordered by address.
bool fnListNameFirst(const SearchRequest& pRequest);

// One list line: the display name and the address joined by "  -  ", the
// address first unless pNameFirst.
std::string fnListLine(bool pNameFirst, const Bookmark& pRecord);
// That line appended to pLine.
void subAppendListLine(bool pNameFirst, const Bookmark& pRecord, std::string& pLine);

// The list line the request calls for.
std::string fnListLine(const SearchRequest& pRequest, const Bookmark& pRecord);

// Gives every result an address ("<not found>" where none can be read),
// logging the count, as the list lines are about to be built.
void subCompleteAddresses(std::vector<Bookmark>& pResults, const DebugLog& pLog);
// Its log line, for pCount results whose addresses are completed one by one.
void subLogListBuilding(std::size_t pCount, const DebugLog& pLog);
// Its step for one result whose address, if any, is read.
void subCompleteAddress(Bookmark& pRecord);

// subCompleteAddresses, then the list line of every result.
std::vector<std::string> fnBuildListLines(const SearchRequest& pRequest,
                                          std::vector<Bookmark>& pResults, const DebugLog& pLog);

} // namespace zaptrove
