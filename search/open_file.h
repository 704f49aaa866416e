// SPDX-License-Identifier: MIT
#pragma once

#include "search/bookmark.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

// Reads a whole text file into pText (UTF-8, or Windows-1252 turned into UTF-8).
// Answers false, leaving pText empty, when the path cannot be read for any
// reason ("<not found>" and empty paths included); never throws.
bool fnOpenFile(std::string_view pPath, std::string& pText);

// Runs pScan over the text fnOpenFile would give for a file's bytes, without
// copying them when they are UTF-8: pScan first gets the bytes as they are (a
// leading byte-order mark dropped) and answers false when it meets bytes that
// are not UTF-8; what it appended to pCandidates is then dropped, and it runs
// again over the bytes read as Windows-1252.
void subScanFileBytes(std::string_view pBytes, std::vector<Bookmark>& pCandidates,
                      const std::function<bool(std::string_view)>& pScan);

} // namespace zaptrove
