// SPDX-License-Identifier: MIT
#include "search/results/use_order.h"

#include "debug_log/debug_log.h"
#include "platform/separators.h"
#include "search/request/search_request.h"
#include "search/sources/address_hash.h"
#include "search/sources/chromium_history.h"
#include "search/sources/launch_record.h"

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <span>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace zaptrove {

namespace {

// The Chromium-family rows of each profile, to be given their visits.
using RowsByProfile = std::map<const BrowserProfile*, std::vector<HashedRow>>;

// The launch record's weights in an open-addressing table looked up by the
// rows' own hashes, twice as many slots as addresses: a row hashes its
// address once for this table and History's.
class LaunchTable {
  public:
    explicit LaunchTable(const std::unordered_map<std::string, double>& pWeights) {
        std::size_t size = 2;
        while (size < 2 * pWeights.size()) {
            size *= 2;
        }
        mask_ = size - 1;
        slots_.resize(pWeights.empty() ? 0 : size);
        for (const auto& entry : pWeights) {
            const std::size_t hash = fnAddressHash(entry.first);
            std::size_t at = hash & mask_;
            while (slots_[at].second != nullptr) {
                at = (at + 1) & mask_;
            }
            slots_[at] = {hash, &entry};
        }
    }

    // The weight of the address whose hash is pHash; 0 when never opened.
    double weightOf(std::string_view pAddress, std::size_t pHash) const {
        if (slots_.empty()) {
            return 0;
        }
        for (std::size_t at = pHash & mask_; slots_[at].second != nullptr; at = (at + 1) & mask_) {
            if (slots_[at].first == pHash && slots_[at].second->first == pAddress) {
                return slots_[at].second->second;
            }
        }
        return 0;
    }

  private:
    std::vector<std::pair<std::size_t, const std::pair<const std::string, double>*>> slots_;
    std::size_t mask_ = 0;
};

// A row's use by its browser. Firefox marks a frecency still to be worked out
// as -1: no use known.
std::int64_t browserUse(const Bookmark& row) {
    return std::max<std::int64_t>(row.Frecency, 0);
}

// Gives each row's use its place and the weight the launch record gives its
// address, hashing the address once for this and for History's table, and
// the browser's use of the rows whose use came with them; answers the
// Chromium-family rows of each profile, whose use History gives. The
// addresses lie scattered in memory: the one a few rows ahead is fetched
// early.
RowsByProfile startUses(std::vector<Bookmark>& rows, const LaunchTable& launched,
                        std::vector<RowUse>& uses) {
    constexpr std::size_t kAhead = 8;
    RowsByProfile byProfile;
    // The rows of one profile mostly follow each other: its list is kept at
    // hand. The first profile met, usually the only one, gets room for all
    // the rows left, so that its list never moves; the others grow.
    const BrowserProfile* last = nullptr;
    std::vector<HashedRow>* lastRows = nullptr;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i + 2 * kAhead < rows.size()) {
            __builtin_prefetch(&rows[i + 2 * kAhead].URL);
            __builtin_prefetch(&rows[i + 2 * kAhead].Source);
        }
        if (i + kAhead < rows.size()) {
            __builtin_prefetch(rows[i + kAhead].URL.data());
        }
        Bookmark& row = rows[i];
        const std::size_t hash = fnAddressHash(row.URL);
        uses[i].launches = launched.weightOf(row.URL, hash);
        uses[i].place = static_cast<std::uint32_t>(i);
        const BrowserProfile* profile = row.Source.browser();
        if (profile != last) {
            last = profile;
            lastRows = profile && !fnUsesPlaces(profile->browser) ? &byProfile[profile] : nullptr;
            if (lastRows != nullptr && byProfile.size() == 1 && lastRows->empty()) {
                lastRows->reserve(rows.size() - i);
            }
        }
        if (lastRows != nullptr) {
            lastRows->push_back({&row, hash});
        } else {
            uses[i].browser = browserUse(row);
        }
    }
    return byProfile;
}

// Reads the visits of the Chromium-family rows, one History per profile,
// into uses, whose places count from first; adds what could not be read to
// problems.
void readChromiumVisits(const RowsByProfile& byProfile, const Bookmark* first, std::int64_t now,
                        std::span<RowUse> uses, std::vector<std::string>& problems) {
    for (const auto& [profile, profileRows] : byProfile) {
        const std::string history = platform::pathIn(profile->folder, "History");
        const std::string problem = fnReadChromiumVisits(history, profileRows, now);
        if (!problem.empty()) {
            problems.push_back("History not read: " + history + ": " + problem);
        }
        for (const HashedRow& hashed : profileRows) {
            uses[hashed.row - first].browser = browserUse(*hashed.row);
        }
    }
}

// Sorts the uses by their browser's use, highest first, uses of equal weight
// kept in their order: a stable radix sort by the bytes of the inverted use,
// the lowest first, passing only over the bytes in which the uses differ.
// spare is room for as many uses, its contents lost.
void sortByBrowserUse(std::span<RowUse> uses, std::span<RowUse> spare) {
    if (uses.size() < 2) {
        return;
    }
    const auto key = [](const RowUse& use) { return ~static_cast<std::uint64_t>(use.browser); };
    std::uint64_t differing = 0;
    for (const RowUse& use : uses) {
        differing |= key(use) ^ key(uses.front());
    }
    std::span<RowUse> from = uses;
    std::span<RowUse> to = spare.first(uses.size());
    for (int shift = 0; shift < 64; shift += 8) {
        if (((differing >> shift) & 0xFF) == 0) {
            continue;
        }
        const auto digit = [&](const RowUse& use) { return (key(use) >> shift) & 0xFF; };
        std::array<std::size_t, 257> starts{};
        for (const RowUse& use : from) {
            ++starts[digit(use) + 1];
        }
        std::partial_sum(starts.begin(), starts.end(), starts.begin());
        for (const RowUse& use : from) {
            to[starts[digit(use)]++] = use;
        }
        std::swap(from, to);
    }
    if (from.data() != uses.data()) {
        std::ranges::copy(from, uses.begin());
    }
}

// Asks for every cache line of *object to be fetched, not waited for.
template <typename T> void fetchEarly(const T* object) {
    constexpr std::size_t kLine = 64;
    const auto* bytes = reinterpret_cast<const char*>(object);
    for (std::size_t at = 0; at < sizeof(T); at += kLine) {
        __builtin_prefetch(bytes + at);
    }
}

// Puts each row at its place in order (order[i] the row that goes to i),
// in place, cycle by cycle: the cycle's first row is held aside while each
// row of the cycle moves once into the place the one before left. The row a
// few steps ahead on the cycle is fetched early, as the rows lie scattered in
// memory.
void putInOrder(std::vector<Bookmark>& rows, std::vector<std::uint32_t>& order) {
    constexpr int kAhead = 8;
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (order[start] == start) {
            continue;
        }
        Bookmark first = std::move(rows[start]);
        std::size_t at = start;
        std::size_t ahead = start;
        for (int step = 0; step < kAhead; ++step) {
            ahead = order[ahead];
        }
        while (order[at] != start) {
            ahead = order[ahead];
            fetchEarly(&rows[ahead]);
            rows[at] = std::move(rows[order[at]]);
            at = std::exchange(order[at], static_cast<std::uint32_t>(at));
        }
        rows[at] = std::move(first);
        order[at] = static_cast<std::uint32_t>(at);
    }
}

} // namespace

RowUses fnReadRowUses(const SearchRequest& pRequest, std::vector<Bookmark>& pRows,
                      std::int64_t pNow) {
    RowUses read;
    if (!pRequest.rankByUse || pRows.size() < 2) {
        return read;
    }
    const std::unordered_map<std::string, double> launches =
        pRequest.launchRecord.empty() ? std::unordered_map<std::string, double>()
                                      : fnLaunchWeights(pRequest.launchRecord, pNow);
    const LaunchTable launched(launches);
    read.uses.resize(pRows.size());
    read.launchAddresses = launches.size();
    const RowsByProfile chromiumRows = startUses(pRows, launched, read.uses);
    readChromiumVisits(chromiumRows, pRows.data(), pNow, read.uses, read.problems);
    return read;
}

void subOrderByUse(const SearchRequest& pRequest, std::vector<Bookmark>& pRows,
                   std::span<const std::uint32_t> pFirstOrder, RowUses pUses,
                   const DebugLog& pLog) {
    if (!pRequest.rankByUse || pRows.size() < 2 || pUses.uses.size() != pRows.size()) {
        return;
    }
    for (const std::string& problem : pUses.problems) {
        pLog.subDebug(LOG_FAIL, problem);
    }
    std::vector<RowUse>& uses = pUses.uses;
    // The launch record's weights are positive or 0: the few rows it weighs
    // come first, the others follow by their browser's use alone, sorted with
    // the first list of uses as spare room. The uses are taken in the first
    // order in one pass, each put after the last of its kind; the use a few
    // places ahead is fetched early, as they lie scattered.
    const auto isLaunched = [](const RowUse& use) { return use.launches > 0; };
    const auto launchedCount = std::ranges::count_if(uses, isLaunched);
    std::vector<RowUse> sorted(uses.size());
    const auto unlaunched = sorted.begin() + launchedCount;
    auto nextLaunched = sorted.begin();
    auto nextOther = unlaunched;
    constexpr std::size_t kAhead = 16;
    for (std::size_t k = 0; k < uses.size(); ++k) {
        if (!pFirstOrder.empty() && k + kAhead < uses.size()) {
            __builtin_prefetch(&uses[pFirstOrder[k + kAhead]]);
        }
        const RowUse& use = uses[pFirstOrder.empty() ? k : pFirstOrder[k]];
        *(isLaunched(use) ? nextLaunched : nextOther)++ = use;
    }
    std::stable_sort(sorted.begin(), unlaunched, [](const RowUse& a, const RowUse& b) {
        return a.launches != b.launches ? a.launches > b.launches : a.browser > b.browser;
    });
    sortByBrowserUse(std::span(unlaunched, sorted.end()), uses);
    std::vector<std::uint32_t> order(pRows.size());
    std::transform(sorted.begin(), sorted.end(), order.begin(),
                   [](const RowUse& use) { return use.place; });
    putInOrder(pRows, order);
    pLog.subDebug(LOG_INFO, "Ordered by use (" + std::to_string(pUses.launchAddresses) +
                                " addresses in the launch record)");
}

} // namespace zaptrove
