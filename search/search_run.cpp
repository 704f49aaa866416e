// SPDX-License-Identifier: MIT
#include "search/search_run.h"

#include "debug_log/debug_log.h"
#include "debug_log/str_form.h"
#include "platform/files.h"
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

// One kind of source: its reader, its name in messages, and whether its
// locations are folders.
struct SourceKind {
    Reader reader;
    const char* name;
    bool isFolder;
};

constexpr SourceKind kFavorites{subReadFavorites, "Favorites folder", true};
constexpr SourceKind kNetscape{subReadNetscape, "Netscape file", false};
constexpr SourceKind kOpera{subReadOpera, "Opera file", false};

// What the reading of the enabled sources found out about them.
struct SourceReport {
    std::vector<UnreadableSource> unreadable;
    std::size_t enabled = 0;
};

// Reads one location of a source and, when it cannot be read, says why in the
// report and the log.
void readLocation(const SourceKind& kind, const std::string& location, Matcher& matcher,
                  std::vector<Bookmark>& candidates, SourceReport& report, const DebugLog& log) {
    ++report.enabled;
    kind.reader(location, matcher, candidates, log);
    std::string reason = platform::whyUnreadable(location, kind.isFolder);
    if (!reason.empty()) {
        log.subDebug(LOG_FAIL,
                     std::string(kind.name) + " could not be read: " + location + ": " + reason);
        report.unreadable.push_back({kind.name, location, std::move(reason)});
    }
}

void readSource(const SourceKind& kind, std::int16_t doMain, const std::string& main,
                std::int16_t doAlt, const std::string& alt, Matcher& matcher,
                std::vector<Bookmark>& candidates, SourceReport& report, const DebugLog& log) {
    if (doMain == DO_YES) {
        readLocation(kind, main, matcher, candidates, report, log);
    }
    if (doAlt == DO_YES) {
        readLocation(kind, alt, matcher, candidates, report, log);
    }
}

// Reads a browser profile switched on; one of which nothing could be read goes
// into the report (the reader has logged why).
void readBrowserProfile(const BrowserProfile& profile, Matcher& matcher,
                        std::vector<Bookmark>& candidates, SourceReport& report,
                        const DebugLog& log) {
    ++report.enabled;
    const BrowserReading reading = fnReadBrowserSource(profile, matcher, candidates, log);
    if (!reading.readWhole() && reading.BookmarkCount == 0) {
        report.unreadable.push_back(
            {std::string(fnBrowserName(profile.browser)) + " profile",
             profile.bookmarksFile.empty() ? profile.folder : profile.bookmarksFile,
             reading.Problem});
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
    from = std::vector<Bookmark>(); // not "= {}", which keeps the memory
}

// Reads every enabled source, Favorites first, then Netscape, then Opera (main
// before alternative), then the browser profiles, and answers the bookmarks
// that match, in that order.
std::vector<Bookmark> readEnabledSources(const Settings& s, Matcher& matcher, SourceReport& report,
                                         const DebugLog& log) {
    std::vector<Bookmark> candidates;
    SourceReport favoritesReport;
    const auto readFavorites = [&](Matcher& favoritesMatcher) {
        readSource(kFavorites, s.DoMSIE, s.MSIEMain, s.DoMSIEEx, s.MSIEAlt, favoritesMatcher,
                   candidates, favoritesReport, log);
    };
    std::vector<Bookmark> fromFiles;
    SourceReport filesReport;
    const auto readFiles = [&] {
        readSource(kNetscape, s.DoNetscape, s.NetscapeMain, s.DoNetscapeEx, s.NetscapeAlt, matcher,
                   fromFiles, filesReport, log);
        readSource(kOpera, s.DoOpera, s.OperaMain, s.DoOperaEx, s.OperaAlt, matcher, fromFiles,
                   filesReport, log);
        for (const BrowserSource& source : fnBrowserSources(s)) {
            if (source.switchedOn) {
                readBrowserProfile(source.profile, matcher, fromFiles, filesReport, log);
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
    report.enabled = favoritesReport.enabled + filesReport.enabled;
    report.unreadable = std::move(favoritesReport.unreadable);
    std::move(filesReport.unreadable.begin(), filesReport.unreadable.end(),
              std::back_inserter(report.unreadable));
    return candidates;
}

} // namespace

SearchOutcome subSearch(std::string_view pInput, const Settings& pSettings, const DebugLog& pLog,
                        ListLines pLines) {
    Matcher matcher(platform::lowerCase(pInput), pSettings.Function,
                    {.anyWordOrder = pSettings.Words == WORDS_ANY_ORDER,
                     .ignoreAccents = pSettings.Accents == ACCENTS_IGNORE});
    logSearchMode(pSettings.Function, pLog);

    SourceReport report;
    std::vector<Bookmark> candidates = readEnabledSources(pSettings, matcher, report, pLog);

    SearchOutcome outcome;
    outcome.Unreadable = std::move(report.unreadable);
    outcome.SourcesEnabled = report.enabled;
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
    if (pLines == ListLines::Built) {
        outcome.Lines = fnBuildListLines(pSettings, outcome.Results, pLog);
    } else {
        subCompleteAddresses(outcome.Results, pLog);
    }
    outcome.Found = true;
    return outcome;
}

} // namespace zaptrove
