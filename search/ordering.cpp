#include "search/ordering.h"

#include "debug_log/debug_log.h"
#include "platform/text.h"
#include "search/display_name.h"
#include "settings/settings.h"

#include <cstdint>
#include <utility>

namespace zaptrove {

namespace {

// The middle index: the sum halved and rounded to the nearest integer, halves
// going to the even neighbour.
std::int64_t middleIndex(std::int64_t low, std::int64_t high) {
    const std::int64_t sum = low + high;
    const std::int64_t half = sum / 2;
    return sum % 2 == 0 || half % 2 == 0 ? half : half + 1;
}

// The partitioning runs on a permutation of record numbers with each record's
// key computed once; an explicit stack of ranges replaces recursion, which
// gives the same order without a depth limit.
void sortByKeys(const std::vector<std::string>& keys, std::vector<std::size_t>& order,
                std::int64_t low, std::int64_t high) {
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges{{low, high}};
    while (!ranges.empty()) {
        const auto [lo, hi] = ranges.back();
        ranges.pop_back();
        const std::string& pivot = keys[order[middleIndex(lo, hi)]];
        std::int64_t i = lo;
        std::int64_t j = hi;
        while (i <= j) {
            while (i < hi && keys[order[i]] < pivot) {
                ++i;
            }
            while (j > lo && pivot < keys[order[j]]) {
                --j;
            }
            if (i <= j) {
                std::swap(order[i], order[j]);
                ++i;
                --j;
            }
        }
        if (lo < j) {
            ranges.emplace_back(lo, j);
        }
        if (i < hi) {
            ranges.emplace_back(i, hi);
        }
    }
}

} // namespace

void subSort(std::vector<Bookmark>& pList, int pByUrl, std::size_t pLow, std::size_t pHigh) {
    if (pHigh >= pList.size() || pLow >= pHigh) {
        return;
    }
    std::vector<std::string> keys(pList.size());
    std::vector<std::size_t> order(pList.size());
    for (std::size_t k = pLow; k <= pHigh; ++k) {
        keys[k] =
            platform::lowerCase(fnDisplayNameView(pByUrl == 0 ? pList[k].Name : pList[k].URL));
        order[k] = k;
    }
    sortByKeys(keys, order, static_cast<std::int64_t>(pLow), static_cast<std::int64_t>(pHigh));
    std::vector<Bookmark> sorted;
    sorted.reserve(pHigh - pLow + 1);
    for (std::size_t k = pLow; k <= pHigh; ++k) {
        sorted.push_back(std::move(pList[order[k]]));
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
