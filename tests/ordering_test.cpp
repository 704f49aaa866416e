// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "search/request/search_request.h"
#include "search/results/display_name.h"
#include "search/results/guarded_quicksort.h"
#include "search/results/ordering.h"
#include "support/fake_clock.h"
#include "support/temp_folder.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <random>

using namespace zaptrove;

namespace {

std::string keyOf(const Bookmark& record, int byUrl) {
    return platform::lowerCase(fnDisplayName(byUrl == 0 ? record.Name : record.URL));
}

// The quicksort written out plainly: the pivot key taken once from the middle
// index (rounded half to even), keys derived again at every comparison.
void referenceSort(std::vector<Bookmark>& list, int byUrl, long low, long high) {
    const std::string pivot = keyOf(list[std::lrint(static_cast<double>(low + high) / 2)], byUrl);
    long i = low, j = high;
    while (i <= j) {
        while (i < high && keyOf(list[i], byUrl) < pivot)
            ++i;
        while (j > low && pivot < keyOf(list[j], byUrl))
            --j;
        if (i <= j)
            std::swap(list[i++], list[j--]);
    }
    if (low < j)
        referenceSort(list, byUrl, low, j);
    if (i < high)
        referenceSort(list, byUrl, i, high);
}

// Records whose keys collide once ".url", folders and case go, some alike in 8, 16 or 24 bytes
// or apart only by final zero bytes: sorted as the reference, the keys are the lower-cased texts.
std::vector<Bookmark> randomList(std::mt19937& rng, std::size_t size) {
    using namespace std::string_literals;
    // clang-format off
    const std::string words[] = {"news", "News.url", "NEWS 2", "a", "a\0"s,
                                 "news\0\0\0\0\0\0\0\0\0\0\0\0"s, "B", "", "ä", "Ä", "z",
                                 "Weekly news", "weekly newsletters", "WEEKLY NEWSLETTER",
                                 "newsletters of the week", "newsletters of the week\0"s,
                                 "Newsletters of the week 2", "NEWSLETTERS OF THE WEEK 1"};
    // clang-format on
    std::vector<Bookmark> list;
    for (std::size_t k = 0; k < size; ++k) {
        const std::string id = std::to_string(k);
        list.push_back({"C:\\F" + id + "\\" + words[rng() % std::size(words)],
                        "x:\\" + id + "\\" + words[rng() % std::size(words)]});
    }
    return list;
}

std::string namesOf(const std::vector<Bookmark>& list) {
    std::string names;
    for (const Bookmark& record : list)
        names += record.Name + "|";
    return names;
}

} // namespace

TEST(Ordering, SortGivesTheQuicksortOrderEvenForEqualKeys) {
    std::mt19937 rng(20031205);
    std::vector<Bookmark> list;
    for (int round = 0; round < 400; ++round) {
        // The last two long enough for two threads, the first of them a range inside the list.
        const std::size_t size = round >= 398 ? 40000 : 1 + rng() % 200;
        list = randomList(rng, size);
        std::vector<Bookmark> expected = list;
        const std::size_t low = round == 398 ? 1001 : round % 2 == 1 ? 0 : rng() % size;
        const std::size_t high = round == 398     ? size - 7
                                 : round % 3 == 0 ? size - 1
                                                  : low + rng() % (size - low);
        const int byUrl = round % 4; // any value but 0 means the address
        referenceSort(expected, byUrl, static_cast<long>(low), static_cast<long>(high));
        subSort(list, byUrl, low, high);
        ASSERT_TRUE(list == expected) << "round " << round << ": " << low << ".." << high;
    }
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end(),
                               [](auto& a, auto& b) { return keyOf(a, 1) < keyOf(b, 1); }));
}

TEST(Ordering, OrderCandidatesPicksTheKeyBySortAndLogsTheStep) {
    const std::string stamp = "[05/12/03 - 14:07:31] ",
                      timers = "+ " + stamp + "Start Matrix sorting:  50851.23\r\n- " + stamp +
                               "Matrix sorting Done:  50851.23\r\n";
    // Sort, Function, the order, the step logged before the timers
    const std::tuple<std::int16_t, std::int16_t, std::string, std::string> cases[] = {
        {SORT_NAME, FUNC_URL, "a|b|c|", "Sorting by NAME"},
        {SORT_URL, FUNC_NAME, "b|c|a|", "Sorting by URL"},
        {SORT_SEARCHED, FUNC_BOTH, "a|b|c|", "Sorting as Searched"},
        {SORT_SEARCHED, FUNC_URL, "b|c|a|", "Sorting as Searched"},
        {SORT_NONE, FUNC_URL, "c|a|b|", ""}};
    test::FakeClock clock;
    for (const auto& [sort, function, order, step] : cases) {
        test::TempFolder t;
        constexpr std::int16_t kLogOn = DEBUG_ON;
        std::vector<Bookmark> list{{"c", "u2"}, {"a", "u3"}, {"b", "u1"}};
        subOrderCandidates({.mode = fnSearchMode(function), .sort = sort}, list,
                           DebugLog(kLogOn, clock, t / "z.log"));
        EXPECT_EQ(namesOf(list), order) << sort << "/" << function;
        EXPECT_EQ(test::readFile(t / "z.log"),
                  (step.empty() ? "" : "$ " + stamp + step + "\r\n") + timers)
            << sort << "/" << function;
    }
}

// An adversary making the pivot the smallest item left (quicksort's worst case): O(n log n) stays.
TEST(Ordering, CraftedOrderCostsNoMoreThanNLogN) {
    for (const int n : {1000, 20000}) {
        std::vector<int> value(n, n); // n: not fixed yet
        int fixedCount = 0, candidate = -1;
        long long comparisons = 0;
        const auto less = [&](int x, int y) {
            ++comparisons;
            if (value[x] == n && value[y] == n)
                value[x == candidate ? x : y] = fixedCount++;
            if (value[x] == n)
                candidate = x;
            else if (value[y] == n)
                candidate = y;
            return value[x] < value[y];
        };
        std::vector<int> items(n);
        std::iota(items.begin(), items.end(), 0);
        guardedQuicksort(items, 0, n - 1, less);
        EXPECT_LT(comparisons, 8LL * n * std::bit_width(unsigned(n))) << n;
        EXPECT_TRUE(std::is_sorted(items.begin(), items.end(),
                                   [&](int x, int y) { return value[x] < value[y]; }));
    }
}

// Long enough to be sorted in two halves at once, of few keys: one thread's order, ties included.
TEST(Ordering, TwoThreadsGiveOneThreadsOrder) {
    std::mt19937 rng(7);
    std::vector<std::pair<int, int>> items(4 * kItemsForTwoThreads);
    for (std::size_t k = 0; k < items.size(); ++k)
        items[k] = {static_cast<int>(rng() % 64), static_cast<int>(k)};
    const auto less = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::vector<std::pair<int, int>> expected = items;
    sortRanges(
        expected, {{0, std::ssize(items) - 1, 0}}, 100, less,
        [](std::int64_t, std::int64_t) { return false; }, false);
    guardedQuicksort(items, 0, std::ssize(items) - 1, less);
    EXPECT_EQ(items, expected);
}

// Blocks scanned from both ends, few distinct keys so that many items equal the pivot: the
// plain loop's items, i and j, for ranges too short for a block up to many blocks long.
TEST(Ordering, BlockPartitionGivesThePlainLoopsResult) {
    std::mt19937 rng(11);
    for (int round = 0; round < 3000; ++round) {
        const std::int64_t size =
            1 + static_cast<std::int64_t>(rng() % (round < 2000 ? 200 : 3000));
        std::vector<int> items(static_cast<std::size_t>(size));
        const unsigned kinds = 1 + rng() % 12;
        std::generate(items.begin(), items.end(), [&] { return static_cast<int>(rng() % kinds); });
        const std::int64_t lo = static_cast<std::int64_t>(rng() % size), hi = size - 1;
        const int pivot = items[static_cast<std::size_t>(middleIndex(lo, hi))];
        std::vector<int> expected = items;
        std::int64_t i = lo, j = hi;
        while (i <= j) {
            while (i < hi && expected[i] < pivot)
                ++i;
            while (j > lo && pivot < expected[j])
                --j;
            if (i <= j)
                std::swap(expected[i++], expected[j--]);
        }
        const auto [blockI, blockJ] = partitionAround(items, lo, hi, pivot, std::less<int>());
        ASSERT_EQ(items, expected) << "round " << round;
        ASSERT_EQ(blockI, i) << "round " << round;
        ASSERT_EQ(blockJ, j) << "round " << round;
    }
}
