// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/records/browser_profile.h"
#include "search/records/source_reading.h"
#include "search/sources/firefox_reader.h"
#include "search/sources/kept_rows.h"

#include <vector>

namespace zaptrove {

class DebugLog;
class Matcher;

// Reads a browser profile's bookmarks with the reader of its browser and
// appends the matching ones, each marked with the browser and profile it comes
// from; the diagnostic log tells what was read, or why it could not be. A
// Firefox profile looks for pKeyword's bookmark too, marked the same way. With
// pKept, a Chromium-family file unchanged since pKept last read it is not read
// again, its records ranked by pOrder; with pMatched, its rows go there
// instead of records (KeptRows::read).
SourceReading fnReadBrowserSource(const BrowserProfile& pProfile, const Matcher& pMatcher,
                                  std::vector<Bookmark>& pCandidates, const DebugLog& pLog,
                                  KeywordLookup* pKeyword = nullptr, KeptRows* pKept = nullptr,
                                  KeptRowOrder pOrder = {}, KeptMatch* pMatched = nullptr);

// How many bookmarks the profile holds, keeping none.
SourceReading fnCountBrowserBookmarks(const BrowserProfile& pProfile);

} // namespace zaptrove
