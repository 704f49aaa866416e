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
// share their first eight. The keys lie end to end in the buffer of all keys;
// keys of up to sixteen bytes that share their heads (ending in zero bytes)
// are told apart by their sizes.
struct KeyedRecord {
    std::uint64_t head = 0;
    std::uint64_t nextHead = 0;
    std::size_t keyStart = 0;
    std::uint32_t keySize = 0; // a key is compared on its first 4 GiB
    std::uint32_t index = 0;   // no list holds 4 billion records
};

constexpr std::size_t kHeadBytes = 2 * sizeof(std::uint64_t);

// Compares the keys of records, which lie in keyText.
struct KeyLess {
    std::string_view keyText;

    // A key's bytes after its heads.
    std::string_view tail(const KeyedRecord& record) const {
        const std::size_t headBytes = std::min<std::size_t>(record.keySize, kHeadBytes);
        return keyText.substr(record.keyStart + headBytes, record.keySize - headBytes);
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
    // All keys go into one buffer, each lower-cased straight into it, so
    // keying allocates nothing per record. Lower-casing rarely changes a
    // text's length, and a shown text is never longer than its field.
    std::size_t keyBytes = 0;
    for (std::size_t k = pLow; k <= pHigh; ++k) {
        keyBytes += pByUrl == 0 ? pList[k].Name.size() : pList[k].URL.size();
    }
    std::string keyText;
    keyText.reserve(keyBytes);
    std::vector<KeyedRecord> order(pList.size());
    for (std::size_t k = pLow; k <= pHigh; ++k) {
        const std::size_t keyStart = keyText.size();
        platform::appendLowerCase(sortField(pList[k], pByUrl), keyText);
        keyText.resize(keyStart + std::min<std::size_t>(keyText.size() - keyStart,
                                                        std::numeric_limits<std::uint32_t>::max()));
        const std::string_view key = std::string_view(keyText).substr(keyStart);
        order[k] = {keyHead(key), keyHead(key.substr(std::min(key.size(), sizeof(std::uint64_t)))),
                    keyStart, static_cast<std::uint32_t>(key.size()),
                    static_cast<std::uint32_t>(k)};
    }
    // The partitioning runs on the records' keys, each computed once, with their
    // places alongside.
    guardedQuicksort(order, static_cast<std::int64_t>(pLow), static_cast<std::int64_t>(pHigh),
                     KeyLess{keyText});
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
