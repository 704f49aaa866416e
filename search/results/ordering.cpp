// SPDX-License-Identifier: MIT
#include "search/results/ordering.h"

#include "debug_log/debug_log.h"
#include "search/request/search_request.h"
#include "search/results/display_name.h"
#include "search/results/guarded_quicksort.h"
#include "search/scanning/two_halves.h"
#include "text/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

namespace zaptrove {

namespace {

// A record's sort key and its place in the list. The heads, the key's first
// 24 bytes, order most pairs of keys without reading further: many names
// share their first eight, and many addresses their first sixteen
// ("https://www.news"). The keys lie end to end in two buffers (KeyLess);
// keys of up to 24 bytes that share their heads (ending in zero bytes) are
// told apart by their sizes.
struct KeyedRecord {
    std::array<std::uint64_t, 3> heads{};
    std::size_t keyStart = 0;
    std::uint32_t keySize = 0; // a key is compared on its first 4 GiB
    std::uint32_t index = 0;   // no list holds 4 billion records
};

constexpr std::size_t kHeadBytes = sizeof(KeyedRecord::heads);

// Compares the keys of records: those of the records before middle lie in
// earlier, the others in later.
struct KeyLess {
    std::string_view earlier;
    std::string_view later;
    std::size_t middle = 0;

    // A key's bytes after its heads.
    std::string_view tail(const KeyedRecord& record) const {
        const std::size_t headBytes = std::min<std::size_t>(record.keySize, kHeadBytes);
        return (record.index < middle ? earlier : later)
            .substr(record.keyStart + headBytes, record.keySize - headBytes);
    }
    bool operator()(const KeyedRecord& a, const KeyedRecord& b) const {
        // Without a branch on each head: a partition's comparisons go either
        // way at random, and a mispredicted branch costs more than the rest.
        const auto& [a0, a1, a2] = a.heads;
        const auto& [b0, b1, b2] = b.heads;
        const unsigned same0 = unsigned{a0 == b0};
        const unsigned same1 = unsigned{a1 == b1};
        if ((same0 & same1 & unsigned{a2 == b2}) != 0) [[unlikely]] {
            if (a.index == b.index) {
                return false; // the partition's pivot met itself
            }
            const int byTail = tail(a).compare(tail(b));
            return byTail != 0 ? byTail < 0 : a.keySize < b.keySize;
        }
        return (unsigned{a0 < b0} | (same0 & (unsigned{a1 < b1} | (same1 & unsigned{a2 < b2})))) !=
               0;
    }
};

// The first bytes of key, eight to a head, as big-endian numbers padded with zeros.
std::array<std::uint64_t, 3> keyHeads(std::string_view key) {
    char bytes[kHeadBytes] = {};
    std::memcpy(bytes, key.data(), std::min(key.size(), kHeadBytes));
    std::array<std::uint64_t, 3> heads{};
    for (std::size_t k = 0; k < heads.size(); ++k) {
        std::memcpy(&heads[k], bytes + k * sizeof heads[k], sizeof heads[k]);
        if constexpr (std::endian::native == std::endian::little) {
            heads[k] = __builtin_bswap64(heads[k]);
        }
    }
    return heads;
}

std::string_view sortField(const Bookmark& record, int byUrl) {
    return byUrl == 0 ? fnShownName(record) : fnShownText(record, record.URL);
}

// The keys sortField gives a record of a bookmark file, lower-cased as
// subSort lower-cases them: a browser's shows its texts as they are.
void appendFileKey(std::string_view text, std::string& keys) {
    platform::appendLowerCase(fnDisplayNameView(text), keys);
}
void appendBrowserKey(std::string_view text, std::string& keys) {
    platform::appendLowerCase(text, keys);
}

// The field the request orders by: 0 the name, 1 the address, -1 none (the
// reading order stays).
int orderField(const SearchRequest& request) {
    switch (request.sort) {
    case SORT_NAME:
        return 0;
    case SORT_URL:
        return 1;
    case SORT_SEARCHED:
        return request.mode == SearchMode::Url ? 1 : 0;
    default:
        return -1;
    }
}

// A record's rank and its place in the list.
struct RankedRecord {
    std::uint32_t rank = 0;
    std::uint32_t index = 0;
};

// How many records ahead along a cycle permute asks the processor for, and
// whose texts subSort asks for while keying: the records and their texts lie
// scattered in memory, and each step would wait on them otherwise.
constexpr int kPrefetchedRecords = 8;
constexpr std::size_t kCacheLineBytes = 64;

// The places of the records order puts at low to high, in order: four bytes
// each, which stay in the cache where the sort's entries would not.
template <typename Placed>
std::vector<std::uint32_t> placesOf(const std::vector<Placed>& order, std::size_t low,
                                    std::size_t high) {
    std::vector<std::uint32_t> from(high - low + 1);
    for (std::size_t k = low; k <= high; ++k) {
        from[k - low] = order[k].index;
    }
    return from;
}

// Puts the record at from[k] into place low + k for each k, following each
// cycle of the permutation, so no second list of records is needed.
void permute(std::vector<Bookmark>& list, std::vector<std::uint32_t> from, std::size_t low) {
    if (from.empty()) {
        return;
    }
    const std::size_t high = low + from.size() - 1;
    // from[place - low] is the record place takes; a place filled takes its own.
    const auto source = [&](std::size_t place) -> std::uint32_t& { return from[place - low]; };
    for (std::size_t start = low; start <= high; ++start) {
        if (source(start) == start) {
            continue;
        }
        Bookmark first = std::move(list[start]);
        std::size_t place = start;
        std::size_t ahead = start; // a later place of this cycle, whose record is fetched
        for (int k = 0; k < kPrefetchedRecords && source(ahead) != start; ++k) {
            ahead = source(ahead);
        }
        while (source(place) != start) {
            const std::size_t next = source(place);
            if (source(ahead) != start) {
                ahead = source(ahead);
                // A record spans up to three cache lines, all of which its move reads.
                const auto* bytes = reinterpret_cast<const char*>(&list[ahead]);
                for (std::size_t line = 0; line < sizeof(Bookmark); line += kCacheLineBytes) {
                    __builtin_prefetch(bytes + line);
                }
                __builtin_prefetch(bytes + sizeof(Bookmark) - 1);
            }
            list[place] = std::move(list[next]);
            source(place) = static_cast<std::uint32_t>(place);
            place = next;
        }
        list[place] = std::move(first);
        source(place) = static_cast<std::uint32_t>(place);
    }
}

// Orders the records by their ranks as subSort orders them by the keys the
// ranks stand for: the same partitioning, each key compared by its rank. A
// range whose ranks all differ has one order only, which the count of each
// rank gives at once: a record goes where the first of its rank goes, or to
// the range's start when that lies before it. Counting takes memory for every
// rank up to the greatest, so only when they are not many more than the records.
//
// Answers the places in order: at k the place of the record that goes to k.
template <typename RankAt> std::vector<RankedRecord> orderByRanks(std::size_t size, RankAt rankAt) {
    std::vector<RankedRecord> order(size);
    std::uint32_t greatest = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        order[k] = {rankAt(k), static_cast<std::uint32_t>(k)};
        greatest = std::max(greatest, order[k].rank);
    }
    std::vector<std::uint32_t> firstAt;  // each rank's first place
    std::vector<std::uint32_t> tiesUpTo; // at p: the places before p followed by an equal rank
    std::vector<RankedRecord> placed;
    if (greatest <= 4 * order.size()) {
        firstAt.assign(std::size_t{greatest} + 1, 0);
        for (const RankedRecord& record : order) {
            ++firstAt[record.rank];
        }
        tiesUpTo.assign(order.size() + 1, 0);
        std::uint32_t place = 0;
        for (std::uint32_t& first : firstAt) {
            const std::uint32_t count = std::exchange(first, place);
            for (std::uint32_t k = 0; k < count; ++k, ++place) {
                tiesUpTo[place + 1] = tiesUpTo[place] + (k + 1 < count ? 1 : 0);
            }
        }
        placed.resize(order.size());
    }
    const auto finish = [&](std::int64_t lo, std::int64_t hi) {
        if (firstAt.empty() || tiesUpTo[hi] != tiesUpTo[lo]) {
            return false;
        }
        // Each range is placed in its own places of placed, so that two at once may be.
        for (std::int64_t k = lo; k <= hi; ++k) {
            const std::int64_t first = firstAt[order[k].rank];
            placed[std::max(first, lo)] = order[k];
        }
        std::copy(placed.begin() + lo, placed.begin() + hi + 1, order.begin() + lo);
        return true;
    };
    guardedQuicksort(
        order, 0, static_cast<std::int64_t>(order.size()) - 1,
        [](const RankedRecord& a, const RankedRecord& b) { return a.rank < b.rank; }, finish);
    return order;
}

// The places of the records in the order of their ranks.
std::vector<std::uint32_t> ranksOrder(const std::vector<Bookmark>& list) {
    const std::vector<RankedRecord> order =
        orderByRanks(list.size(), [&](std::size_t k) { return list[k].Rank.value; });
    return placesOf(order, 0, order.size() - 1);
}

// Logs the sort the request asks for around pOrder(field), which puts the
// rows in order by that field (orderField), or leaves them when there is none.
template <typename Order>
void orderLogged(const SearchRequest& request, const DebugLog& log, const Order& order) {
    switch (request.sort) {
    case SORT_NAME:
        log.subDebug(LOG_INFO, "Sorting by NAME");
        break;
    case SORT_URL:
        log.subDebug(LOG_INFO, "Sorting by URL");
        break;
    case SORT_SEARCHED:
        log.subDebug(LOG_INFO, "Sorting as Searched");
        break;
    default:
        break;
    }
    log.subDebugTimer(LOG_BEGIN, "Start Matrix sorting: ");
    if (const int byUrl = orderField(request); byUrl >= 0) {
        order(byUrl);
    }
    log.subDebugTimer(LOG_END, "Matrix sorting Done: ");
}

// Makes the keys of list[first] to list[end - 1] into keyText, each
// lower-cased straight into it, so that keying allocates nothing per record,
// and their entries into order at their places.
void makeKeys(const std::vector<Bookmark>& list, int byUrl, std::size_t first, std::size_t end,
              std::string& keyText, std::vector<KeyedRecord>& order) {
    // Lower-casing rarely changes a text's length, and a shown text is never
    // longer than its field.
    std::size_t keyBytes = 0;
    for (std::size_t k = first; k < end; ++k) {
        keyBytes += byUrl == 0 ? list[k].Name.size() : list[k].URL.size();
    }
    keyText.reserve(keyBytes);
    for (std::size_t k = first; k < end; ++k) {
        if (const std::size_t ahead = k + kPrefetchedRecords; ahead < end) {
            const Bookmark& aheadRecord = list[ahead];
            __builtin_prefetch((byUrl == 0 ? aheadRecord.Name : aheadRecord.URL).data());
        }
        const std::size_t keyStart = keyText.size();
        platform::appendLowerCase(sortField(list[k], byUrl), keyText);
        keyText.resize(keyStart + std::min<std::size_t>(keyText.size() - keyStart,
                                                        std::numeric_limits<std::uint32_t>::max()));
        const std::string_view key = std::string_view(keyText).substr(keyStart);
        order[k] = {keyHeads(key), keyStart, static_cast<std::uint32_t>(key.size()),
                    static_cast<std::uint32_t>(k)};
    }
}

// From this many records on, the later half's keys are made on a thread of
// their own beside the earlier half's.
constexpr std::size_t kRecordsForTwoThreads = std::size_t{1} << 12;

// The places of the records low to high in subSort's order.
std::vector<std::uint32_t> keysOrder(const std::vector<Bookmark>& list, int byUrl, std::size_t low,
                                     std::size_t high) {
    std::vector<KeyedRecord> order(list.size());
    const std::size_t middle = low + (high - low + 1) / 2;
    std::string earlier;
    std::string later;
    runInHalves(
        high - low + 1 >= kRecordsForTwoThreads,
        [&] { makeKeys(list, byUrl, middle, high + 1, later, order); },
        [&] { makeKeys(list, byUrl, low, middle, earlier, order); });
    // The partitioning runs on the records' keys, each computed once, with their
    // places alongside.
    guardedQuicksort(order, static_cast<std::int64_t>(low), static_cast<std::int64_t>(high),
                     KeyLess{earlier, later, middle});
    return placesOf(order, low, high);
}

// The places of the candidates in the order subOrderCandidates puts them in,
// by the field byUrl; none for no candidates.
std::vector<std::uint32_t> candidatesOrder(const std::vector<Bookmark>& candidates, int byUrl,
                                           bool ranksComparable) {
    if (candidates.empty()) {
        return {};
    }
    if (ranksComparable && std::ranges::none_of(candidates, [](const Bookmark& record) {
            return record.Rank.value == 0;
        })) {
        return ranksOrder(candidates);
    }
    return keysOrder(candidates, byUrl, 0, candidates.size() - 1);
}

} // namespace

void subSort(std::vector<Bookmark>& pList, int pByUrl, std::size_t pLow, std::size_t pHigh) {
    if (pHigh >= pList.size() || pLow >= pHigh) {
        return;
    }
    permute(pList, keysOrder(pList, pByUrl, pLow, pHigh), pLow);
}

void subOrderCandidates(const SearchRequest& pRequest, std::vector<Bookmark>& pCandidates,
                        const DebugLog& pLog, bool pRanksComparable) {
    orderLogged(pRequest, pLog, [&](int byUrl) {
        permute(pCandidates, candidatesOrder(pCandidates, byUrl, pRanksComparable), 0);
    });
}

std::vector<std::uint32_t> fnCandidatesOrder(const SearchRequest& pRequest,
                                             const std::vector<Bookmark>& pCandidates,
                                             const DebugLog& pLog, bool pRanksComparable) {
    std::vector<std::uint32_t> order;
    orderLogged(pRequest, pLog,
                [&](int byUrl) { order = candidatesOrder(pCandidates, byUrl, pRanksComparable); });
    return order;
}

void subOrderKeptMatch(const SearchRequest& pRequest, KeptMatch& pRows, const DebugLog& pLog) {
    orderLogged(pRequest, pLog, [&](int) {
        const std::vector<RankedRecord> order =
            orderByRanks(pRows.size(), [&](std::size_t k) { return pRows.rank(k); });
        std::vector<std::uint32_t> from(order.size());
        std::transform(order.begin(), order.end(), from.begin(),
                       [](const RankedRecord& placed) { return placed.index; });
        pRows.reorder(from);
    });
}

KeptRowOrder fnKeptRowsOrder(const SearchRequest& pRequest, bool pBrowser) {
    const int byUrl = orderField(pRequest);
    if (byUrl < 0) {
        return {};
    }
    return {byUrl == 1, pBrowser ? appendBrowserKey : appendFileKey};
}

} // namespace zaptrove
