// SPDX-License-Identifier: MIT
#include "search/scanning/shared_work.h"
#include "search/scanning/work_ahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace zaptrove;

namespace {

struct Item {
    int index = 0;
    int timesWorked = 0;
};

} // namespace

TEST(SharedWork, EveryItemIsWorkedOnceAndComesBackInOrder) {
    const auto work = [](Item& item, int) { ++item.timesWorked; };
    SharedWork<Item, decltype(work)> shared(work);
    constexpr int kItems = 5000;
    for (int i = 0; i < kItems; ++i)
        shared.add({i, 0});
    const auto& items = shared.finish();
    ASSERT_EQ(items.size(), std::size_t{kItems});
    for (int i = 0; i < kItems; ++i) {
        EXPECT_EQ(items[static_cast<std::size_t>(i)].index, i);
        EXPECT_EQ(items[static_cast<std::size_t>(i)].timesWorked, 1) << i;
    }
}

TEST(SharedWork, WhatTheHelpersWorkThrowsReachesTheHandingThread) {
    // The handing thread holds one item until the helper has taken the other.
    std::atomic<bool> helperTook = false;
    const auto work = [&](Item&, int worker) {
        if (worker == 1) {
            helperTook = true;
            throw std::runtime_error("no memory");
        }
        const auto start = std::chrono::steady_clock::now();
        while (!helperTook && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
            std::this_thread::yield();
    };
    SharedWork<Item, decltype(work)> shared(work);
    shared.add({});
    shared.add({});
    EXPECT_THROW(shared.finish(), std::runtime_error);
}

TEST(SharedWork, TheHandingThreadWorksWhileTooManyWait) {
    std::atomic<bool> helperMayGoOn = false;
    std::atomic<int> byHandingThread = 0;
    const auto work = [&](Item&, int worker) {
        while (worker == 1 && !helperMayGoOn)
            std::this_thread::yield();
        byHandingThread += worker == 0 ? 1 : 0;
    };
    SharedWork<Item, decltype(work)> shared(work);
    for (int i = 0; i < 100; ++i)
        shared.add({i, 0});
    // The helper is held on its first item: beyond 64 waiting, adding does one.
    EXPECT_GE(byHandingThread, 100 - 1 - 64);
    helperMayGoOn = true;
    shared.finish();
}

// A breadth-first walk: each item taken adds its children, up to a depth;
// with and without the helper, every result comes once, in the order added.
TEST(WorkAhead, ResultsComeInTheOrderAddedWhileTheListGrows) {
    for (const bool withHelper : {false, true}) {
        std::atomic<int> worked = 0;
        const auto work = [&](int& item) {
            ++worked;
            return item * 10;
        };
        WorkAhead<int, int, decltype(work)> ahead(work, withHelper);
        ahead.add(1);
        std::vector<int> seen;
        int next = 1;
        while (ahead.hasNext()) {
            seen.push_back(ahead.next() / 10);
            for (int child = 0; child < 3 && next < 2000; ++child)
                ahead.add(++next);
        }
        std::vector<int> expected(2000);
        std::iota(expected.begin(), expected.end(), 1);
        EXPECT_EQ(seen, expected) << withHelper;
        EXPECT_EQ(worked, 2000) << withHelper;
    }
}

TEST(WorkAhead, WhatTheHelpersWorkThrowsReachesTheTakingThreadInItsTurn) {
    std::atomic<bool> helperFailed = false;
    const auto work = [&](int& item) {
        if (item == 2) {
            helperFailed = true;
            throw std::runtime_error("no memory");
        }
        return item;
    };
    WorkAhead<int, int, decltype(work)> ahead(work, true);
    ahead.add(1);
    ahead.add(2);
    const auto start = std::chrono::steady_clock::now();
    while (!helperFailed && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
        std::this_thread::yield();
    EXPECT_EQ(ahead.next(), 1);
    EXPECT_THROW(ahead.next(), std::runtime_error);
    EXPECT_FALSE(ahead.hasNext());
}
