// SPDX-License-Identifier: MIT
#include "search/results/ordering.h"

#include "debug_log/debug_log.h"
#include "search/request/search_request.h"
#include "search/results/display_name.h"
#include "search/results/guarded_quicksort.h"
#include "text/text.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

namespace zaptrove {

namespace {

// A record's sort key and its place in the list. The heads, the key's first
// sixteen bytes, order most pairs of keys without reading further: many names
// share their first eight. Only the key's bytes after those sixteen, its
// tail, are kept, in the buffer of all tails; keys of up to sixteen bytes that
// share their heads (ending in zero bytes) are told apart by their sizes.
struct KeyedRecord {
    std::uint64_t head = 0;
    std::uint64_t nextHead = 0;
    std::size_t tailStart = 0;
    std::uint32_t keySize = 0; // a key is compared on its first 4 GiB
    std::uint32_t index = 0;   // no list holds 4 billion records
};

constexpr std::size_t kHeadBytes = 2 * sizeof(std::uint64_t);

// Compares the keys of records, whose tails lie in tailText.
struct KeyLess {
    std::string_view tailText;

    std::string_view tail(const KeyedRecord& record) const {
        return tailText.substr(record.tailStart,
                               record.keySize - std::min<std::size_t>(record.keySize, kHeadBytes));
    }
    bool operator()(const KeyedRecord& a, const KeyedRecord& b) const {
        if (a.head != b.head) {
            return a.head < b.head;
        }
        if (a.nextHead != b.nextHead) {
            return a.nextHead < b.nextHead;
        }
        const int byTail = tail(a).compare(tail(b));
        return byTail != 0 ? byTail < 0 : a.keySize < b.keySize;
    }
};

// A key's bytes after its heads.
std::string_view keyTail(std::string_view key) {
    return key.substr(std::min(key.size(), kHeadBytes));
}

// The first eight bytes of key as a big-endian number, padded with zeros.
std::uint64_t keyHead(std::string_view key) {
    std::uint64_t head = 0;
    for (std::size_t k = 0; k < sizeof head; ++k) {
        head = head << 8 | (k < key.size() ? static_cast<unsigned char>(key[k]) : 0);
    }
    return head;
}

std::string_view sortField(const Bookmark& record, int byUrl) {
    return byUrl == 0 ? fnShownName(record) : fnShownText(record, record.URL);
}

// Puts the record at order[k].index into place k for each k in [low, high],
// following each cycle of the permutation, so no second list of records is
// needed. A place filled gets its own index in order.
void permute(std::vector<Bookmark>& list, std::vector<KeyedRecord>& order, std::size_t low,
             std::size_t high) {
    for (std::size_t start = low; start <= high; ++start) {
        if (order[start].index == start) {
            continue;
        }
        Bookmark first = std::move(list[start]);
        std::size_t place = start;
        while (order[place].index != start) {
            const std::size_t from = order[place].index;
            list[place] = std::move(list[from]);
            order[place].index = static_cast<std::uint32_t>(place);
            place = from;
        }
        list[place] = std::move(first);
        order[place].index = static_cast<std::uint32_t>(place);
    }
}

} // namespace

void subSort(std::vector<Bookmark>& pList, int pByUrl, std::size_t pLow, std::size_t pHigh) {
    if (pHigh >= pList.size() || pLow >= pHigh) {
        return;
    }
    // All tails go into one buffer, sized once, so keying allocates nothing
    // per record (lower-casing rarely changes a text's length).
    std::size_t tailBytes = 0;
    for (std::size_t k = pLow; k <= pHigh; ++k) {
        tailBytes += keyTail(sortField(pList[k], pByUrl)).size();
    }
    std::string tailText;
    tailText.reserve(tailBytes);
    std::string key;
    std::vector<KeyedRecord> order(pList.size());
    for (std::size_t k = pLow; k <= pHigh; ++k) {
        key.clear();
        platform::appendLowerCase(sortField(pList[k], pByUrl), key);
        key.resize(std::min<std::size_t>(key.size(), std::numeric_limits<std::uint32_t>::max()));
        const std::string_view view = key;
        order[k] = {keyHead(view),
                    keyHead(view.substr(std::min(view.size(), sizeof(std::uint64_t)))),
                    tailText.size(), static_cast<std::uint32_t>(view.size()),
                    static_cast<std::uint32_t>(k)};
        tailText.append(keyTail(view));
    }
    // The partitioning runs on the records' keys, each computed once, with their
    // places alongside.
    guardedQuicksort(order, static_cast<std::int64_t>(pLow), static_cast<std::int64_t>(pHigh),
                     KeyLess{tailText});
    permute(pList, order, pLow, pHigh);
}

void subOrderCandidates(const SearchRequest& pRequest, std::vector<Bookmark>& pCandidates,
                        const DebugLog& pLog) {
    int byUrl = -1;
    switch (pRequest.sort) {
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
        byUrl = pRequest.mode == SearchMode::Url ? 1 : 0;
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
