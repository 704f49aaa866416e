// SPDX-License-Identifier: MIT
#include "search/results/result_list.h"

#include "debug_log/debug_log.h"
#include "search/request/search_request.h"
#include "search/results/display_name.h"
#include "search/scanning/shared_work.h"
#include "search/sources/favorites_reader.h"
#include "text/text.h"

#include <algorithm>

namespace zaptrove {

namespace {

// How many records one thread reads the pending addresses of at a time; as
// many pending addresses are read without a helper.
constexpr std::size_t kRecordsPerStretch = 256;

// Which field duplicates are compared by: 0 name, 1 address, anything else
// both. Sorting as searched compares what was searched; a mode that finds
// nothing, both.
int duplicateKeyMode(const SearchRequest& request) {
    if (request.sort != SORT_SEARCHED) {
        return request.sort;
    }
    return request.mode == SearchMode::Name ? 0 : request.mode == SearchMode::Url ? 1 : 2;
}

// The lower-cased text a record is compared by: the shown text of its address
// in mode 1, of its name otherwise (mode "both" compares addresses as they are).
void duplicateKey(int mode, const Bookmark& record, std::string& key) {
    platform::lowerCaseInto(mode == 1 ? fnShownText(record, record.URL) : fnShownName(record), key);
}

} // namespace

std::vector<Bookmark> fnRemoveDuplicates(const SearchRequest& pRequest,
                                         std::vector<Bookmark> pCandidates, const DebugLog& pLog) {
    pLog.subDebugTimer(LOG_BEGIN, "Start undupping: ");
    if (pRequest.removeDuplicates) {
        const int mode = duplicateKeyMode(pRequest);
        // The kept records move to the front; each record's key is made once.
        std::string keptKey;
        std::string key;
        std::size_t kept = 0;
        for (std::size_t k = 0; k < pCandidates.size(); ++k) {
            duplicateKey(mode, pCandidates[k], key);
            const bool duplicate =
                kept > 0 && (key == keptKey || (mode != 0 && mode != 1 &&
                                                pCandidates[k].URL == pCandidates[kept - 1].URL));
            if (!duplicate) {
                if (k != kept) {
                    pCandidates[kept] = std::move(pCandidates[k]);
                }
                ++kept;
                std::swap(keptKey, key);
            }
        }
        pCandidates.erase(pCandidates.begin() + static_cast<std::ptrdiff_t>(kept),
                          pCandidates.end());
    }
    pLog.subDebugTimer(LOG_END, "Undupped: ");
    return pCandidates;
}

bool fnOrderUsesAddress(const SearchRequest& pRequest) {
    return pRequest.sort == SORT_URL ||
           (pRequest.removeDuplicates && duplicateKeyMode(pRequest) != 0);
}

void subReadMissingShortcutAddresses(std::vector<Bookmark>& pRecords) {
    // Each address costs opening, reading and closing a file: beyond one
    // stretch of records a helper thread reads stretches beside this one.
    struct Stretch {
        std::size_t first;
        std::size_t end;
    };
    const auto read = [&](const Stretch& stretch, int) {
        for (std::size_t k = stretch.first; k < stretch.end; ++k) {
            subReadPendingAddress(pRecords[k]);
        }
    };
    const auto pending =
        std::count_if(pRecords.begin(), pRecords.end(),
                      [](const Bookmark& record) { return record.AddressPending; });
    if (static_cast<std::size_t>(pending) <= kRecordsPerStretch) {
        read({0, pRecords.size()}, 0);
        return;
    }
    SharedWork<Stretch, decltype(read)> reading(read);
    for (std::size_t first = 0; first < pRecords.size(); first += kRecordsPerStretch) {
        reading.add({first, std::min(pRecords.size(), first + kRecordsPerStretch)});
    }
    reading.finish();
}

bool fnListNameFirst(const SearchRequest& pRequest) {
    return pRequest.sort == SORT_NAME ||
           (pRequest.sort == SORT_SEARCHED && pRequest.mode != SearchMode::Url);
}

void subAppendListLine(bool pNameFirst, const Bookmark& pRecord, std::string& pLine) {
    const std::string_view name = fnShownName(pRecord);
    pLine.append(pNameFirst ? name : std::string_view(pRecord.URL));
    pLine.append("  -  ");
    pLine.append(pNameFirst ? std::string_view(pRecord.URL) : name);
}

std::string fnListLine(bool pNameFirst, const Bookmark& pRecord) {
    std::string line;
    line.reserve(pRecord.Name.size() + pRecord.URL.size() + 5);
    subAppendListLine(pNameFirst, pRecord, line);
    return line;
}

std::string fnListLine(const SearchRequest& pRequest, const Bookmark& pRecord) {
    return fnListLine(fnListNameFirst(pRequest), pRecord);
}

void subCompleteAddresses(std::vector<Bookmark>& pResults, const DebugLog& pLog) {
    subLogListBuilding(pResults.size(), pLog);
    subReadMissingShortcutAddresses(pResults);
    for (Bookmark& record : pResults) {
        subCompleteAddress(record);
    }
}

void subLogListBuilding(std::size_t pCount, const DebugLog& pLog) {
    pLog.subDebug(LOG_INFO, "Building combo for " + std::to_string(pCount) + " match[es] found!");
}

void subCompleteAddress(Bookmark& pRecord) {
    // A bookmark of another source with no address names no shortcut file.
    if (pRecord.URL.empty() && !pRecord.IsShortcut) {
        pRecord.URL = NOT_FOUND;
    }
}

std::vector<std::string> fnBuildListLines(const SearchRequest& pRequest,
                                          std::vector<Bookmark>& pResults, const DebugLog& pLog) {
    subCompleteAddresses(pResults, pLog);
    const bool nameFirst = fnListNameFirst(pRequest);
    std::vector<std::string> lines;
    lines.reserve(pResults.size());
    for (const Bookmark& record : pResults) {
        lines.push_back(fnListLine(nameFirst, record));
    }
    return lines;
}

} // namespace zaptrove
