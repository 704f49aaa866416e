// SPDX-License-Identifier: MIT
#include "search/run/search_run.h"

#include "debug_log/debug_log.h"
#include "debug_log/str_form.h"
#include "platform/file_state.h"
#include "search/matching/matcher.h"
#include "search/results/address_copies.h"
#include "search/results/ordering.h"
#include "search/results/result_list.h"
#include "search/results/use_order.h"
#include "search/run/folder_screen.h"
#include "search/run/keyword_address.h"
#include "search/scanning/two_halves.h"
#include "search/sources/browser_source_reader.h"
#include "search/sources/kept_rows.h"
#include "search/sources/launch_record.h"

#include <algorithm>
#include <future>
#include <iterator>
#include <new>
#include <system_error>

namespace zaptrove {

namespace {

void logSearchMode(SearchMode mode, const DebugLog& log) {
    switch (mode) {
    case SearchMode::Name:
        log.subDebug(LOG_INFO, "Searching by NAME");
        break;
    case SearchMode::Url:
        log.subDebug(LOG_INFO, "Searching by URL");
        break;
    case SearchMode::Both:
        log.subDebug(LOG_INFO, "Searching by BOTH");
        break;
    case SearchMode::Nothing:
        break;
    }
}

// What the reading of the enabled sources found out about them.
struct SourceReport {
    std::vector<UnreadableSource> unreadable;
    std::vector<UnreadableSource> readInPart;
    std::size_t enabled = 0;

    // Puts the source in the list its reading calls for, if any.
    void add(std::string kind, std::string location, SourceReading&& reading) {
        if (reading.unreadable()) {
            unreadable.push_back(
                {std::move(kind), std::move(location), std::move(reading.Problem)});
        } else if (!reading.readWhole()) {
            readInPart.push_back(
                {std::move(kind), std::move(location), std::move(reading.Problem)});
        }
    }
    void append(SourceReport&& other) {
        enabled += other.enabled;
        std::move(other.unreadable.begin(), other.unreadable.end(), std::back_inserter(unreadable));
        std::move(other.readInPart.begin(), other.readInPart.end(), std::back_inserter(readInPart));
    }
};

// Room for the records a bookmark file may add, made before it is read, so
// that a word found in many bookmarks does not make the list copy itself into
// ever larger memory: one record for every kFileBytesPerRoomedRecord bytes of
// the file, at most kMostRoomedRecords. It is only address space, its pages
// touched as records come, and bounded whatever the file's size.
constexpr std::uint64_t kFileBytesPerRoomedRecord = 256;
constexpr std::uint64_t kMostRoomedRecords = std::uint64_t{1} << 16;

// From this many rows on, ordering by use reads their uses beside their first order.
constexpr std::size_t kRowsForUsesBeside = std::size_t{1} << 15;

void makeRoomForFile(std::string_view path, std::vector<Bookmark>& candidates) {
    const auto state = platform::fileState(path);
    if (!state) {
        return;
    }
    try {
        candidates.reserve(candidates.size() +
                           static_cast<std::size_t>(std::min(
                               state->size / kFileBytesPerRoomedRecord, kMostRoomedRecords)));
    } catch (const std::bad_alloc&) {
        // Only a help: under a tight limit on address space the list grows as it must.
    }
}

// Whether the rows of the one source the request reads may be left as the
// rows kept match them (KeptMatch), made records only as the caller asks for
// them: the source is a bookmark file or a profile of the Chromium family, and
// the request asks for nothing that needs every record (merging copies,
// removing neighbouring duplicates, the order by use, a folder screen).
bool leavesRowsAsMatched(const SearchRequest& request, const FolderScreen& screen,
                         ListLines lines) {
    if (lines == ListLines::Built || request.keptRows == nullptr || request.mergeCopies ||
        request.removeDuplicates || request.rankByUse || screen.screens() ||
        request.locations.size() + request.browsers.size() != 1) {
        return false;
    }
    return request.locations.empty() ? !fnUsesPlaces(request.browsers.front().browser)
                                     : !request.locations.front().location->isFolder;
}

// Reads the locations of folders, or of files, in their order, and says in
// the report and the log why one could not be read. With matched, the rows
// a file's kept rows answer go there (KeptRows::read).
void readLocations(const SearchRequest& request, bool folders, const FolderScreen& screen,
                   std::vector<Bookmark>& candidates, KeptMatch* matched, SourceReport& report,
                   const DebugLog& log) {
    for (const auto& [location, path, namedByUser] : request.locations) {
        if (request.stopRequested()) {
            break;
        }
        if (location->isFolder != folders) {
            continue;
        }
        ++report.enabled;
        const std::string onDisk = fnPathOnDisk(*location, path);
        if (!folders && matched == nullptr) {
            makeRoomForFile(onDisk, candidates);
        }
        const std::size_t first = candidates.size();
        SourceReading reading =
            request.keptRows == nullptr
                ? location->reader(path, screen.readersMatcher(), candidates, log)
                : request.keptRows->read(path, location->reader, KeptRows::Rule::WithFolders,
                                         screen.readersMatcher(), candidates, log,
                                         fnKeptRowsOrder(request, false), matched);
        screen.screen(candidates, first);
        const SourceName source(location->label, {});
        for (std::size_t i = first; i < candidates.size(); ++i) {
            candidates[i].Source = source;
        }
        if (matched != nullptr) {
            matched->source = source;
        }
        subExcuseAbsentSource(reading, onDisk, namedByUser);
        if (!reading.readWhole()) {
            log.subDebug(LOG_FAIL, std::string(location->kind) +
                                       (reading.unreadable() ? " could not be read: "
                                                             : " read only in part: ") +
                                       path + ": " + reading.Problem);
        }
        report.add(location->kind, onDisk, std::move(reading));
    }
}

// Reads a browser profile switched on; one not read whole goes into the
// report (the reader has logged why).
void readBrowserProfile(const SearchRequest& request, const BrowserProfile& profile,
                        const FolderScreen& screen, std::vector<Bookmark>& candidates,
                        KeptMatch* matched, SourceReport& report, KeywordLookup& keyword,
                        const DebugLog& log) {
    ++report.enabled;
    const std::size_t first = candidates.size();
    SourceReading reading =
        fnReadBrowserSource(profile, screen.readersMatcher(), candidates, log,
                            keyword.keyword.empty() ? nullptr : &keyword, request.keptRows,
                            fnKeptRowsOrder(request, true), matched);
    screen.screen(candidates, first);
    report.add(std::string(fnBrowserName(profile.browser)) + " profile",
               profile.bookmarksFile.empty() ? profile.folder : profile.bookmarksFile,
               std::move(reading));
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
// that match, in that order; the Firefox profiles look for the keyword too.
// With matched, the rows a file's kept rows answer go there instead.
std::vector<Bookmark> readEnabledSources(const SearchRequest& request, const FolderScreen& screen,
                                         KeptMatch* matched, SourceReport& report,
                                         KeywordLookup& keyword, const DebugLog& log) {
    std::vector<Bookmark> candidates;
    SourceReport favoritesReport;
    const auto readFavorites = [&] {
        readLocations(request, true, screen, candidates, nullptr, favoritesReport, log);
    };
    std::vector<Bookmark> fromFiles;
    SourceReport filesReport;
    const auto readFiles = [&] {
        readLocations(request, false, screen, fromFiles, matched, filesReport, log);
        for (const BrowserProfile& profile : request.browsers) {
            if (request.stopRequested()) {
                break;
            }
            readBrowserProfile(request, profile, screen, fromFiles, matched, filesReport, keyword,
                               log);
        }
    };
    const bool anyFolder = std::ranges::any_of(
        request.locations, [](const LocationToRead& read) { return read.location->isFolder; });
    // The Favorites walk waits mostly on the file system: unless the log must
    // tell every step in order, it runs beside the reading of the bookmark
    // files.
    std::future<void> walk;
    if (!log.isOn() && anyFolder) {
        try {
            walk = std::async(std::launch::async, readFavorites);
        } catch (const std::system_error&) {
            // No thread to be had: the walk comes first, as with the log on.
        }
    }
    if (!walk.valid()) {
        readFavorites();
    }
    readFiles();
    if (walk.valid()) {
        walk.get();
    }
    appendRecords(candidates, std::move(fromFiles));
    report.append(std::move(favoritesReport));
    report.append(std::move(filesReport));
    return candidates;
}

// The bookmark of a Firefox keyword typed first, as the first row: its address
// filled with the rest of the text. It comes before the rows ordered and
// thinned, and stays first.
void putKeywordRowFirst(const SearchRequest& request, KeywordLookup&& keyword,
                        SearchOutcome& outcome, ListLines lines, const DebugLog& log) {
    if (!keyword.found) {
        return;
    }
    Bookmark row = std::move(*keyword.found);
    row.URL = fnFillKeywordAddress(row.URL, request.term);
    log.subDebug(LOG_INFO, "Keyword " + keyword.keyword + ": " + row.URL);
    if (lines == ListLines::Built) {
        outcome.Lines.insert(outcome.Lines.begin(), fnListLine(request, row));
    }
    for (std::uint32_t& place : outcome.Order) {
        ++place;
    }
    if (!outcome.Order.empty()) {
        outcome.Order.insert(outcome.Order.begin(), 0);
    }
    outcome.Results.insert(outcome.Results.begin(), std::move(row));
    outcome.Found = true;
}

} // namespace

SearchOutcome subSearch(const SearchRequest& pRequest, const DebugLog& pLog, ListLines pLines) {
    const FolderScreen screen(pRequest);
    logSearchMode(pRequest.mode, pLog);

    SourceReport report;
    KeywordLookup keyword{pRequest.mode == SearchMode::Nothing ? std::string()
                                                               : fnTypedKeyword(pRequest.term)};
    KeptMatch kept; // the rows of the one source, when left as matched
    std::vector<Bookmark> candidates = readEnabledSources(
        pRequest, screen, leavesRowsAsMatched(pRequest, screen, pLines) ? &kept : nullptr, report,
        keyword, pLog);
    if (pRequest.stopRequested()) {
        return {};
    }

    SearchOutcome outcome;
    outcome.Unreadable = std::move(report.unreadable);
    outcome.ReadInPart = std::move(report.readInPart);
    outcome.SourcesEnabled = report.enabled;
    if (candidates.empty() && kept.empty()) {
        pLog.subDebug(LOG_FAIL, "No matches found!");
        putKeywordRowFirst(pRequest, std::move(keyword), outcome, pLines, pLog);
        return outcome;
    }
    const std::size_t found = candidates.size() + kept.size();
    pLog.subDebug(LOG_INFO, "Candidates: " + fnStr(static_cast<long long>(found)));
    // Merged in reading order, so the row kept is the first copy read; the
    // order and neighbour duplicate removal then work on the rows as ever.
    if (pRequest.mergeCopies) {
        subMergeAddressCopies(candidates);
        pLog.subDebug(LOG_INFO, "Rows after merging copies of one address: " +
                                    fnStr(static_cast<long long>(candidates.size())));
    }
    if (fnOrderUsesAddress(pRequest) || pRequest.rankByUse) {
        subReadMissingShortcutAddresses(candidates);
    }
    // The ranks of one file's rows are comparable among themselves only.
    // Ordered by use with nothing removed, the rows move once, by their use,
    // the requested order telling ties apart; the uses of many rows are read
    // (History's pages among them) while that order is worked out, on another
    // processor, as fewer rows take too little ordering to be worth a thread.
    // With nothing removed and the caller taking the order, they do not move.
    std::vector<std::uint32_t> firstOrder;
    RowUses uses;
    const std::int64_t now = fnSecondsSince1970();
    if (!kept.empty()) {
        subOrderKeptMatch(pRequest, kept, pLog);
    } else if ((pRequest.rankByUse || pLines == ListLines::OnDemandInPlace) &&
               !pRequest.removeDuplicates) {
        runInHalves(
            pRequest.rankByUse && candidates.size() >= kRowsForUsesBeside,
            [&] { uses = fnReadRowUses(pRequest, candidates, now); },
            [&] {
                firstOrder = fnCandidatesOrder(pRequest, candidates, pLog, report.enabled == 1);
            });
    } else {
        subOrderCandidates(pRequest, candidates, pLog, report.enabled == 1);
    }
    outcome.Results = fnRemoveDuplicates(pRequest, std::move(candidates), pLog);
    // Last, so that the same rows are listed as without it (neighbour
    // duplicate removal depends on the order before it), only reordered.
    if (pRequest.rankByUse && uses.uses.empty()) {
        uses = fnReadRowUses(pRequest, outcome.Results, now);
    }
    subOrderByUse(pRequest, outcome.Results, firstOrder, std::move(uses), pLog);
    if (!pRequest.rankByUse) {
        outcome.Order = std::move(firstOrder);
    }
    if (pLines == ListLines::Built) {
        outcome.Lines = fnBuildListLines(pRequest, outcome.Results, pLog);
    } else if (kept.empty()) {
        subCompleteAddresses(outcome.Results, pLog);
    } else {
        // Each row's address is completed as its record is made (ListedRows).
        subLogListBuilding(kept.size(), pLog);
        outcome.KeptResults = std::move(kept);
    }
    outcome.Found = true;
    putKeywordRowFirst(pRequest, std::move(keyword), outcome, pLines, pLog);
    return outcome;
}

} // namespace zaptrove
