// SPDX-License-Identifier: MIT
#include "search/scanning/shared_work.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

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
