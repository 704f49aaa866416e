// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace zaptrove {

// A growing list of items whose results are taken one by one in the list's
// order, worked out ahead of their turn by a helper thread (when asked for)
// and by the taking thread while it waits. At most kMostAhead items are worked
// out before their turn, so that few results wait.
template <typename Item, typename Result, typename Work> class WorkAhead {
  public:
    // work(item) gives an item's result.
    WorkAhead(Work work, bool withHelper) : work_(std::move(work)) {
        if (withHelper) {
            try {
                helper_ = std::thread([this] { workOnHelper(); });
            } catch (const std::system_error&) {
                // No thread to be had: the taking thread does every item.
            }
        }
    }

    ~WorkAhead() {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
        if (helper_.joinable()) {
            helper_.join();
        }
    }

    WorkAhead(const WorkAhead&) = delete;
    WorkAhead& operator=(const WorkAhead&) = delete;

    void add(Item item) {
        {
            const std::lock_guard lock(mutex_);
            slots_.push_back({std::move(item), std::nullopt, nullptr});
        }
        changed_.notify_all();
    }

    // True while an item added waits to be taken.
    bool hasNext() {
        const std::lock_guard lock(mutex_);
        return !slots_.empty();
    }

    // The result of the next item; hasNext() must be true. What the helper's
    // work on it threw is thrown here.
    Result next() {
        std::unique_lock lock(mutex_);
        for (;;) {
            Slot& first = slots_.front();
            if (first.result || first.failure) {
                Slot done = std::move(first);
                slots_.pop_front();
                ++taken_;
                lock.unlock();
                changed_.notify_all();
                if (done.failure) {
                    std::rethrow_exception(done.failure);
                }
                return std::move(*done.result);
            }
            if (claimedEnd_ == taken_) {
                // Its turn came before the helper took it: worked out here.
                Item item = std::move(first.item);
                slots_.pop_front();
                ++taken_;
                ++claimedEnd_;
                lock.unlock();
                return work_(item);
            }
            if (mayWorkAhead()) {
                workOn(claimedEnd_++, lock);
            } else {
                changed_.wait(lock);
            }
        }
    }

  private:
    static constexpr std::size_t kMostAhead = 64;

    struct Slot {
        Item item;
        std::optional<Result> result;
        std::exception_ptr failure;
    };

    // True when an item not yet taken on lies within kMostAhead of the next
    // to take.
    bool mayWorkAhead() const {
        return claimedEnd_ < taken_ + slots_.size() && claimedEnd_ - taken_ < kMostAhead;
    }

    // Works on the item at the place given (counted from the first item
    // added), taken on under the lock, which is let go meanwhile; the slot
    // stays while its result is missing.
    void workOn(std::size_t place, std::unique_lock<std::mutex>& lock) {
        Item item = std::move(slots_[place - taken_].item);
        lock.unlock();
        std::optional<Result> result;
        std::exception_ptr failure;
        try {
            result.emplace(work_(item));
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        Slot& slot = slots_[place - taken_];
        slot.result = std::move(result);
        slot.failure = failure;
        changed_.notify_all();
    }

    void workOnHelper() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return closed_ || mayWorkAhead(); });
            if (closed_) {
                return;
            }
            workOn(claimedEnd_++, lock);
        }
    }

    Work work_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Slot> slots_;     // from the next to take on
    std::size_t taken_ = 0;      // how many items were taken, counted from the first added
    std::size_t claimedEnd_ = 0; // every item before this place was taken on by a thread
    bool closed_ = false;
    std::thread helper_;
};

} // namespace zaptrove
