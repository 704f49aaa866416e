// SPDX-License-Identifier: MIT
#include "search/ordering.h"

#include "debug_log/debug_log.h"
#include "platform/text.h"
#include "search/display_name.h"
#include "search/guarded_quicksort.h"
#include "settings/settings.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace zaptrove {

namespace {

// A record's sort key and its place in the list. The key's first eight bytes,
// as a big-endian number padded with zeros, order most pairs of keys without
// reading the keys themselves.
struct KeyedRecord {
    KeyedRecord() = default;
    KeyedRecord(std::string_view sortKey, std::size_t place) : key(sortKey), index(place) {
        for (std::size_t k = 0; k < sizeof head; ++k) {
            head = head << 8 | (k < key.size() ? static_cast<unsigned char>(key[k]) : 0);
        }
    }

    bool operator<(const KeyedRecord& other) const {
        return head != other.head ? head < other.head : key < other.key;
    }

    std::uint64_t head = 0;
    std::string_view key;
    std::size_t index = 0;
};

} // namespace

void subSort(std::vector<Bookmark>& pList, int pByUrl, std::size_t pLow, std::size_t pHigh) {
    if (pHigh >= pList.size() || pLow >= pHigh) {
        return;
    }
    // All keys go into one buffer, so keying allocates nothing per record.
    std::string keyText;
    std::vector<std::size_t> keyEnds(pList.size());
    for (std::size_t k = pLow; k <= pHigh; ++k) {
        platform::appendLowerCase(fnDisplayNameView(pByUrl == 0 ? pList[k].Name : pList[k].URL),
                                  keyText);
        keyEnds[k] = keyText.size();
    }
    std::vector<KeyedRecord> order(pList.size());
    for (std::size_t k = pLow, start = 0; k <= pHigh; start = keyEnds[k++]) {
        order[k] = {std::string_view(keyText).substr(start, keyEnds[k] - start), k};
    }
    // The partitioning runs on the records' keys, each computed once, with their
    // places alongside.
    guardedQuicksort(order, static_cast<std::int64_t>(pLow), static_cast<std::int64_t>(pHigh),
                     std::less<KeyedRecord>());
    std::vector<Bookmark> sorted;
    sorted.reserve(pHigh - pLow + 1);
    for (std::size_t k = pLow; k <= pHigh; ++k) {
        sorted.push_back(std::move(pList[order[k].index]));
    }
    std::move(sorted.begin(), sorted.end(), pList.begin() + static_cast<std::ptrdiff_t>(pLow));
}

void subOrderCandidates(const Settings& pSettings, std::vector<Bookmark>& pCandidates,
                        const DebugLog& pLog) {
    int byUrl = -1;
    switch (pSettings.Sort) {
    case SORT_NAME:
        pLog.subDebug(LOG_INFO, "Sorting by NAME");
        byUrl = 0;
        break;
    case SORT_URL:
        pLog.subDebug(LOG_INFO, "Sorting by URL");
        byUrl = 1;
        break;
    case SORT_SEARCHED:
        pLog.subDebug(LOG_INFO, "Sorting as Searched");
        byUrl = pSettings.Function == FUNC_URL ? 1 : 0;
        break;
    default:
        break; // the reading order stays
    }
    pLog.subDebugTimer(LOG_BEGIN, "Start Matrix sorting: ");
    if (byUrl >= 0 && !pCandidates.empty()) {
        subSort(pCandidates, byUrl, 0, pCandidates.size() - 1);
    }
    pLog.subDebugTimer(LOG_END, "Matrix sorting Done: ");
}

} // namespace zaptrove
