// SPDX-License-Identifier: MIT
#pragma once

#include "search/scanning/two_halves.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

namespace zaptrove {

// The middle index: the sum halved and rounded to the nearest integer, halves
// going to the even neighbour.
inline std::int64_t middleIndex(std::int64_t low, std::int64_t high) {
    const std::int64_t sum = low + high;
    const std::int64_t half = sum / 2;
    return sum % 2 == 0 || half % 2 == 0 ? half : half + 1;
}

// How many items each end of a partition is scanned by at a time.
inline constexpr int kScanBlock = 32;

// Partitions items[lo..hi] around pivot exactly as this loop does, answering
// its final i and j:
//
//     i = lo; j = hi;
//     while (i <= j) {
//         while (i < hi && less(items[i], pivot)) ++i;
//         while (j > lo && less(pivot, items[j])) --j;
//         if (i <= j) swap(items[i++], items[j--]);
//     }
//
// The k-th item the left scan stops at is swapped with the k-th the right
// scan stops at, wherever both lie apart. So while the part not yet scanned
// is wide, each end is scanned a block at a time, noting its stops without a
// branch on the comparisons (which go either way at random and would be
// mispredicted half the time), and the stops are paired; the loop finishes
// the narrow rest from the first stop not yet paired.
template <typename Item, typename Less>
std::pair<std::int64_t, std::int64_t> partitionAround(std::vector<Item>& items, std::int64_t lo,
                                                      std::int64_t hi, const Item& pivot,
                                                      const Less& less) {
    std::int64_t leftEnd = lo; // items[leftEnd..rightEnd] are not scanned yet
    std::int64_t rightEnd = hi;
    std::int64_t leftBase = lo; // the blocks scanned last, and their stops' offsets
    std::int64_t rightBase = hi;
    std::array<std::uint8_t, kScanBlock> leftStops{};
    std::array<std::uint8_t, kScanBlock> rightStops{};
    int leftCount = 0;
    int leftPaired = 0;
    int rightCount = 0;
    int rightPaired = 0;
    while (true) {
        if (leftPaired == leftCount) {
            if (rightEnd - leftEnd < kScanBlock) {
                break;
            }
            leftBase = leftEnd;
            leftCount = leftPaired = 0;
            for (int k = 0; k < kScanBlock; ++k) {
                leftStops[leftCount] = static_cast<std::uint8_t>(k);
                leftCount += static_cast<int>(!less(items[leftBase + k], pivot));
            }
            leftEnd += kScanBlock;
        }
        if (rightPaired == rightCount) {
            if (rightEnd - leftEnd < kScanBlock) {
                break;
            }
            rightBase = rightEnd;
            rightCount = rightPaired = 0;
            for (int k = 0; k < kScanBlock; ++k) {
                rightStops[rightCount] = static_cast<std::uint8_t>(k);
                rightCount += static_cast<int>(!less(pivot, items[rightBase - k]));
            }
            rightEnd -= kScanBlock;
        }
        const int pairs = std::min(leftCount - leftPaired, rightCount - rightPaired);
        for (int k = 0; k < pairs; ++k) {
            std::swap(items[leftBase + leftStops[leftPaired + k]],
                      items[rightBase - rightStops[rightPaired + k]]);
        }
        leftPaired += pairs;
        rightPaired += pairs;
    }
    std::int64_t i = leftPaired < leftCount ? leftBase + leftStops[leftPaired] : leftEnd;
    std::int64_t j = rightPaired < rightCount ? rightBase - rightStops[rightPaired] : rightEnd;
    while (i <= j) {
        while (i < hi && less(items[i], pivot)) {
            ++i;
        }
        while (j > lo && less(pivot, items[j])) {
            --j;
        }
        if (i <= j) {
            std::swap(items[i], items[j]);
            ++i;
            --j;
        }
    }
    return {i, j};
}

// Two ranges at least this long that a partition leaves side by side are
// sorted at once, the later on a thread of its own (runInHalves): a range's
// order comes from its own items alone, so it is the same.
inline constexpr std::int64_t kItemsForTwoThreads = std::int64_t{1} << 13;

// guardedQuicksort over the ranges given, (low, high, depth) each.
template <typename Item, typename Less, typename Finish>
void sortRanges(std::vector<Item>& items,
                std::vector<std::tuple<std::int64_t, std::int64_t, int>> ranges, int depthLimit,
                const Less& less, const Finish& finish, bool mayHalve) {
    while (!ranges.empty()) {
        const auto [lo, hi, depth] = ranges.back();
        ranges.pop_back();
        if (finish(lo, hi)) {
            continue;
        }
        if (depth > depthLimit) {
            std::stable_sort(items.begin() + lo, items.begin() + hi + 1, less);
            continue;
        }
        const Item pivot = items[middleIndex(lo, hi)];
        const auto [i, j] = partitionAround(items, lo, hi, pivot, less);
        if (mayHalve && j - lo + 1 >= kItemsForTwoThreads && hi - i + 1 >= kItemsForTwoThreads) {
            mayHalve = false;
            runInHalves(
                true,
                [&, i = i, hi = hi, depth = depth] {
                    sortRanges(items, {{i, hi, depth + 1}}, depthLimit, less, finish, false);
                },
                [&, j = j, lo = lo, depth = depth] {
                    sortRanges(items, {{lo, j, depth + 1}}, depthLimit, less, finish, false);
                });
            continue;
        }
        if (lo < j) {
            ranges.emplace_back(lo, j, depth + 1);
        }
        if (i < hi) {
            ranges.emplace_back(i, hi, depth + 1);
        }
    }
}

// Quicksort of items[low..high] with the element at the middle index as pivot;
// an explicit stack of ranges replaces recursion. A range nested deeper than a
// few times log2 of the length, which ordinary input never reaches, is a
// crafted worst case: it is finished by a stable merge sort, so no input costs
// more than O(n log n) comparisons. Below that depth the order, equal keys
// included, is the plain quicksort's.
//
// Each range holds the items that end up in its places. finish(lo, hi) may
// put a range in order itself, answering whether it did; it may do so only
// when no two of its items are equal, so that their order is the only one.
// It may be called for two ranges at once (kItemsForTwoThreads).
template <typename Item, typename Less, typename Finish>
void guardedQuicksort(std::vector<Item>& items, std::int64_t low, std::int64_t high, Less less,
                      Finish finish) {
    if (low >= high) {
        return;
    }
    const int depthLimit =
        4 * static_cast<int>(std::bit_width(static_cast<std::uint64_t>(high - low + 1))) + 8;
    sortRanges(items, {{low, high, 0}}, depthLimit, less, finish, true);
}

template <typename Item, typename Less>
void guardedQuicksort(std::vector<Item>& items, std::int64_t low, std::int64_t high, Less less) {
    guardedQuicksort(items, low, high, less, [](std::int64_t, std::int64_t) { return false; });
}

} // namespace zaptrove
