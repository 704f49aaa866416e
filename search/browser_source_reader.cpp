// SPDX-License-Identifier: MIT
#include "search/browser_source_reader.h"

#include "debug_log/debug_log.h"
#include "search/chromium_reader.h"
#include "search/firefox_reader.h"
#include "search/matcher.h"

namespace zaptrove {

namespace {

// A mode outside name, URL and both: the readers then keep nothing and count.
constexpr std::int16_t kCountOnly = -1;

BrowserReading readWithItsReader(const BrowserProfile& profile, Matcher& matcher,
                                 std::vector<Bookmark>& candidates) {
    return fnUsesPlaces(profile.browser)
               ? fnReadFirefoxPlaces(profile.bookmarksFile, matcher, candidates)
               : fnReadChromiumBookmarks(profile.bookmarksFile, matcher, candidates);
}

} // namespace

std::string fnBrowserSourceLabel(const BrowserProfile& pProfile) {
    return pProfile.install + ", profile " + pProfile.name;
}

BrowserReading fnReadBrowserSource(const BrowserProfile& pProfile, Matcher& pMatcher,
                                   std::vector<Bookmark>& pCandidates, const DebugLog& pLog) {
    const std::string browser(fnBrowserName(pProfile.browser));
    if (!pProfile.problem.empty()) {
        pLog.subDebug(LOG_FAIL, "Cannot read " + browser + " Profile: " + pProfile.folder + " (" +
                                    pProfile.problem + ")");
        return {0, pProfile.problem};
    }
    pLog.subDebug(LOG_INFO, "Reading " + browser + " File: " + pProfile.bookmarksFile);
    pLog.subDebugTimer(LOG_BEGIN, "Parsing " + browser + " File: ");
    const std::size_t first = pCandidates.size();
    BrowserReading reading = readWithItsReader(pProfile, pMatcher, pCandidates);
    const std::string label = fnBrowserSourceLabel(pProfile);
    for (std::size_t i = first; i < pCandidates.size(); ++i) {
        pCandidates[i].Origin = label;
    }
    if (!reading.readWhole()) {
        pLog.subDebug(LOG_FAIL, browser + " file not read whole: " + reading.Problem);
    }
    pLog.subDebugTimer(LOG_END, browser + " file parsed: ");
    return reading;
}

BrowserReading fnCountBrowserBookmarks(const BrowserProfile& pProfile) {
    Matcher counter("", kCountOnly);
    std::vector<Bookmark> none;
    return readWithItsReader(pProfile, counter, none);
}

} // namespace zaptrove
