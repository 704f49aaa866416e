// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/records/source_reading.h"

#include <string_view>
#include <vector>

namespace zaptrove {

class Matcher;

// Reads a Chromium-family bookmarks file ("Bookmarks", or "AccountBookmarks")
// and appends its matching bookmarks in the browser's own order: every root
// under "roots", folders depth first, each "url" node one bookmark (name,
// address). A Matcher of no mode keeps nothing, which only counts. With folder
// names searched the file is read twice, first for its folders' names, which
// the browser writes after their bookmarks.
SourceReading fnReadChromiumBookmarks(std::string_view pPath, const Matcher& pMatcher,
                                      std::vector<Bookmark>& pCandidates);

// The same over the file's text.
SourceReading fnScanChromiumBookmarks(std::string_view pText, const Matcher& pMatcher,
                                      std::vector<Bookmark>& pCandidates);

} // namespace zaptrove
