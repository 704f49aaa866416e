// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace zaptrove {

// Items handed in one at a time, worked on by a helper thread (started with the
// first item) while more come, and by the handing thread too once all are in,
// or whenever more than a few wait, so that waiting items take little memory.
// The items keep the order they came in, and nothing moves them, so each
// thread works on the items it took without holding the lock.
template <typename Item, typename Work> class SharedWork {
  public:
    // work(item, worker) does one item; worker is 0 on the handing thread and 1
    // on the helper.
    explicit SharedWork(Work work) : work_(std::move(work)) {}

    ~SharedWork() { closeAndJoin(); }

    SharedWork(const SharedWork&) = delete;
    SharedWork& operator=(const SharedWork&) = delete;

    void add(Item item) {
        bool tooManyWait = false;
        {
            const std::lock_guard lock(mutex_);
            items_.push_back(std::move(item));
            tooManyWait = items_.size() - taken_ > kMostWaiting;
        }
        added_.notify_one();
        if (!helperTried_) {
            helperTried_ = true;
            try {
                helper_ = std::thread([this] { workOnHelper(); });
            } catch (const std::system_error&) {
                // No thread to be had: the handing thread does every item.
            }
        }
        if (Item* waiting = tooManyWait ? takeWaiting() : nullptr) {
            work_(*waiting, 0);
        }
    }

    // Works beside the helper until every item is done, and answers the items in
    // the order they came in. What the helper's work threw is thrown here.
    std::deque<Item>& finish() {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        added_.notify_all();
        while (Item* item = take()) {
            work_(*item, 0);
        }
        closeAndJoin();
        if (failure_) {
            std::rethrow_exception(failure_);
        }
        return items_;
    }

  private:
    static constexpr std::size_t kMostWaiting = 64;

    // The next item no thread has taken, if one waits.
    Item* takeWaiting() {
        const std::lock_guard lock(mutex_);
        return taken_ < items_.size() ? &items_[taken_++] : nullptr;
    }

    // The next item no thread has taken, waiting while more may come; nothing
    // once every item is taken and no more will come.
    Item* take() {
        std::unique_lock lock(mutex_);
        added_.wait(lock, [this] { return taken_ < items_.size() || closed_; });
        return taken_ < items_.size() ? &items_[taken_++] : nullptr;
    }

    void workOnHelper() {
        try {
            while (Item* item = take()) {
                work_(*item, 1);
            }
        } catch (...) {
            failure_ = std::current_exception();
            // The handing thread does what is left.
        }
    }

    void closeAndJoin() {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        added_.notify_all();
        if (helper_.joinable()) {
            helper_.join();
        }
    }

    Work work_;
    std::mutex mutex_;
    std::condition_variable added_;
    std::deque<Item> items_;
    std::size_t taken_ = 0;
    bool closed_ = false;
    std::exception_ptr failure_;
    bool helperTried_ = false; // only the handing thread reads and sets it
    std::thread helper_;
};

} // namespace zaptrove
