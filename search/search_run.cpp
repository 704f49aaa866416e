// SPDX-License-Identifier: MIT
#include "search/search_run.h"

#include "debug_log/debug_log.h"
#include "debug_log/str_form.h"
#include "platform/text.h"
#include "search/browser_source_reader.h"
#include "search/favorites_reader.h"
#include "search/matcher.h"
#include "search/netscape_reader.h"
#include "search/opera_reader.h"
#include "search/ordering.h"
#include "search/result_list.h"
#include "settings/browser_sources.h"
#include "settings/settings.h"

#include <algorithm>
#include <functional>
#include <future>
#include <iterator>
#include <system_error>

namespace zaptrove {

namespace {

void logSearchMode(std::int16_t function, const DebugLog& log) {
    switch (function) {
    case FUNC_NAME:
        log.subDebug(LOG_INFO, "Searching by NAME");
        break;
    case FUNC_URL:
        log.subDebug(LOG_INFO, "Searching by URL");
        break;
    case FUNC_BOTH:
        log.subDebug(LOG_INFO, "Searching by BOTH");
        break;
    default:
        break;
    }
}

using Reader = void (*)(std::string_view, Matcher&, std::vector<Bookmark>&, const DebugLog&);

void readSource(Reader reader, std::int16_t doMain, const std::string& main, std::int16_t doAlt,
                const std::string& alt, Matcher& matcher, std::vector<Bookmark>& candidates,
                const DebugLog& log) {
    if (doMain == DO_YES) {
        reader(main, matcher, candidates, log);
    }
    if (doAlt == DO_YES) {
        reader(alt, matcher, candidates, log);
    }
}

// Moves the records of from to the end of to; from's memory goes at once.
void appendRecords(std::vector<Bookmark>& to, std::vector<Bookmark>&& from) {
    if (to.empty()) {
        to.swap(from);
    } else {
        to.reserve(to.size() + from.size());
        std::move(from.begin(), from.end(), std::back_inserter(to));
    }
    from = {};
}

// Reads every enabled source, Favorites first, then Netscape, then Opera (main
// before alternative), then the browser profiles, and answers the bookmarks
// that match, in that order.
std::vector<Bookmark> readEnabledSources(const Settings& s, Matcher& matcher, const DebugLog& log) {
    std::vector<Bookmark> candidates;
    const auto readFavorites = [&](Matcher& favoritesMatcher) {
        readSource(subReadFavorites, s.DoMSIE, s.MSIEMain, s.DoMSIEEx, s.MSIEAlt, favoritesMatcher,
                   candidates, log);
    };
    std::vector<Bookmark> fromFiles;
    const auto readFiles = [&] {
        readSource(subReadNetscape, s.DoNetscape, s.NetscapeMain, s.DoNetscapeEx, s.NetscapeAlt,
                   matcher, fromFiles, log);
        readSource(subReadOpera, s.DoOpera, s.OperaMain, s.DoOperaEx, s.OperaAlt, matcher,
                   fromFiles, log);
        for (const BrowserSource& source : fnBrowserSources(s)) {
            if (source.switchedOn) {
                fnReadBrowserSource(source.profile, matcher, fromFiles, log);
            }
        }
    };
    // The Favorites walk waits mostly on the file system: unless the log must
    // tell every step in order, it runs beside the reading of the bookmark
    // files, with a matcher of its own.
    std::future<void> walk;
    Matcher favoritesMatcher = matcher;
    if (!log.isOn() && (s.DoMSIE == DO_YES || s.DoMSIEEx == DO_YES)) {
        try {
            walk = std::async(std::launch::async, readFavorites, std::ref(favoritesMatcher));
        } catch (const std::system_error&) {
            // No thread to be had: the walk comes first, as with the log on.
        }
    }
    if (!walk.valid()) {
        readFavorites(favoritesMatcher);
    }
    readFiles();
    if (walk.valid()) {
        walk.get();
    }
    appendRecords(candidates, std::move(fromFiles));
    return candidates;
}

} // namespace

SearchOutcome subSearch(std::string_view pInput, const Settings& pSettings, const DebugLog& pLog) {
    Matcher matcher(platform::lowerCase(pInput), pSettings.Function,
                    {.anyWordOrder = pSettings.Words == WORDS_ANY_ORDER,
                     .ignoreAccents = pSettings.Accents == ACCENTS_IGNORE});
    logSearchMode(pSettings.Function, pLog);

    std::vector<Bookmark> candidates = readEnabledSources(pSettings, matcher, pLog);

    SearchOutcome outcome;
    if (candidates.empty()) {
        pLog.subDebug(LOG_FAIL, "No matches found!");
        return outcome;
    }
    pLog.subDebug(LOG_INFO, "Candidates: " + fnStr(static_cast<long long>(candidates.size())));
    if (fnOrderUsesAddress(pSettings)) {
        subReadMissingShortcutAddresses(candidates);
    }
    subOrderCandidates(pSettings, candidates, pLog);
    outcome.Results = fnRemoveDuplicates(pSettings, std::move(candidates), pLog);
    outcome.Lines = fnBuildListLines(pSettings, outcome.Results, pLog);
    outcome.Found = true;
    return outcome;
}

} // namespace zaptrove
