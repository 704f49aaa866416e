// SPDX-License-Identifier: MIT
#include "search/sources/browser_source_reader.h"

#include "debug_log/debug_log.h"
#include "search/matching/matcher.h"
#include "search/sources/chromium_reader.h"
#include "search/sources/firefox_reader.h"
#include "search/sources/kept_rows.h"

#include <algorithm>

namespace zaptrove {

namespace {

// The Chromium reader as a file reader of KeptRows.
SourceReading readChromium(std::string_view path, const Matcher& matcher,
                           std::vector<Bookmark>& candidates, const DebugLog&) {
    return fnReadChromiumBookmarks(path, matcher, candidates);
}

SourceReading readWithItsReader(const BrowserProfile& profile, const Matcher& matcher,
                                std::vector<Bookmark>& candidates, KeywordLookup* keyword,
                                KeptRows* kept, KeptRowOrder order, KeptMatch* matched,
                                const DebugLog& log) {
    SourceReading reading;
    if (fnUsesPlaces(profile.browser)) {
        reading = fnReadFirefoxPlaces(profile.bookmarksFile, matcher, candidates, keyword);
    } else if (kept != nullptr) {
        reading = kept->read(profile.bookmarksFile, readChromium, KeptRows::Rule::Chromium, matcher,
                             candidates, log, order, matched);
    } else {
        reading = fnReadChromiumBookmarks(profile.bookmarksFile, matcher, candidates);
    }
    subExcuseAbsentSource(reading, profile.bookmarksFile, profile.namedByUser);
    return reading;
}

} // namespace

SourceReading fnReadBrowserSource(const BrowserProfile& pProfile, const Matcher& pMatcher,
                                  std::vector<Bookmark>& pCandidates, const DebugLog& pLog,
                                  KeywordLookup* pKeyword, KeptRows* pKept, KeptRowOrder pOrder,
                                  KeptMatch* pMatched) {
    const std::string browser(fnBrowserName(pProfile.browser));
    if (!pProfile.problem.empty()) {
        pLog.subDebug(LOG_FAIL, "Cannot read " + browser + " Profile: " + pProfile.folder + " (" +
                                    pProfile.problem + ")");
        return {0, pProfile.problem};
    }
    pLog.subDebug(LOG_INFO, "Reading " + browser + " File: " + pProfile.bookmarksFile);
    pLog.subDebugTimer(LOG_BEGIN, "Parsing " + browser + " File: ");
    const std::size_t first = pCandidates.size();
    const bool keywordFoundBefore = pKeyword == nullptr || pKeyword->found;
    SourceReading reading =
        readWithItsReader(pProfile, pMatcher, pCandidates, pKeyword, pKept, pOrder, pMatched, pLog);
    const SourceName source(pProfile);
    const auto mark = [&](Bookmark& bookmark) { bookmark.Source = source; };
    std::for_each(pCandidates.begin() + static_cast<std::ptrdiff_t>(first), pCandidates.end(),
                  mark);
    if (pMatched != nullptr) {
        pMatched->source = source;
    }
    if (!keywordFoundBefore && pKeyword->found) {
        mark(*pKeyword->found);
    }
    if (!reading.readWhole()) {
        pLog.subDebug(LOG_FAIL, browser +
                                    (reading.unreadable() ? " file could not be read: "
                                                          : " file read only in part: ") +
                                    pProfile.bookmarksFile + ": " + reading.Problem);
    }
    pLog.subDebugTimer(LOG_END, browser + " file parsed: ");
    return reading;
}

SourceReading fnCountBrowserBookmarks(const BrowserProfile& pProfile) {
    // Nothing matches: the readers keep nothing and count.
    const Matcher counter("", SearchMode::Nothing);
    std::vector<Bookmark> none;
    return readWithItsReader(pProfile, counter, none, nullptr, nullptr, {}, nullptr,
                             DebugLog::silent());
}

} // namespace zaptrove
